#include "favorites/favoriteimages.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

const char folderSvg[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16">
<path d="M1 3.5h5l1.5 1.5H15v8.5H1z" fill="#e8b84a" stroke="#9a7420"/>
<path d="M1 6h14" stroke="#9a7420"/></svg>)";

// A sheet with a globe: the picture for a page link, and for a folder that is open.
const char shortcutSvg[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16">
<path d="M2.5 1.5h7l4 4v9h-11z" fill="#fff" stroke="#667"/>
<circle cx="8" cy="9.5" r="3.5" fill="#5b9bd5" stroke="#2e6da4"/>
<path d="M4.5 9.5h7M8 6v7M6.3 6.5q-1 3 0 6M9.7 6.5q1 3 0 6" fill="none" stroke="#fff" stroke-width=".7"/></svg>)";

const char rootSvg[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16">
<path d="M8 1l2.1 4.4 4.8.6-3.5 3.3.9 4.8L8 11.8l-4.3 2.3.9-4.8L1.1 6l4.8-.6z" fill="#f5c518" stroke="#a07d00"/></svg>)";

QIcon render(const char *svg)
{
    QSvgRenderer renderer(QByteArray::fromRawData(svg, int(qstrlen(svg))));
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}

FavoriteImages::FavoriteImages(QObject *parent)
    : QObject(parent), m_folder(render(folderSvg)), m_shortcut(render(shortcutSvg)), m_root(render(rootSvg))
{
    setObjectName(QStringLiteral("imgTreeFavorites"));
}

QIcon FavoriteImages::image(int index) const
{
    switch (index) {
    case Folder: return m_folder;
    case Shortcut: return m_shortcut;
    case Root: return m_root;
    default: return QIcon();
    }
}

QIcon FavoriteImages::nodeIcon(int index, int selectedIndex) const
{
    if (index == Folder && selectedIndex == Shortcut) {
        // Every folder node uses this pair: make it once.
        if (m_folderNode.isNull())
            m_folderNode = combine(index, selectedIndex);
        return m_folderNode;
    }
    return combine(index, selectedIndex);
}

QIcon FavoriteImages::combine(int index, int selectedIndex) const
{
    const QIcon normal = image(index);
    const QIcon selected = image(selectedIndex);
    if (selected.isNull())
        return normal;
    QIcon icon;
    for (int size : {16, 24, 32}) {
        icon.addPixmap(normal.pixmap(size, size), QIcon::Normal);
        icon.addPixmap(selected.pixmap(size, size), QIcon::Selected);
    }
    return icon;
}
