#include "favorites/favoritesfolder.h"

#include "core/filenames.h"
#include "core/shortcutfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// Most Linux file systems allow 255 bytes in a name; keep room for ".url".
constexpr int maxNameBytes = 250;
const QString extension = QStringLiteral(".url");

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString clean(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A link or file counts as present even when it points nowhere.
bool present(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

// Replaces target when it is a file (atomically), never when it is a folder.
FavoritesFolder::Result place(const QString &from, const QString &to, const FavoritesFolder::ConfirmReplace &confirm,
                              QString *error)
{
    using FavoritesFolder::Result;
    if (clean(from) == clean(to))
        return Result::Done;
    if (present(to)) {
        const QFileInfo target(to);
        if ((target.isDir() && !target.isSymLink()) || QFileInfo(from).isDir()) {
            setError(error, QStringLiteral("There is already an item named \"%1\" there.").arg(target.fileName()));
            return Result::Failed;
        }
        if (!confirm || !confirm(to))
            return Result::Cancelled;
        // rename(2) replaces the old file in one step.
        if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
            setError(error, QStringLiteral("\"%1\" could not be replaced.").arg(target.fileName()));
            return Result::Failed;
        }
        return Result::Done;
    }
    if (!QDir().rename(from, to)) {
        setError(error, QStringLiteral("\"%1\" could not be moved or renamed.").arg(QFileInfo(from).fileName()));
        return Result::Failed;
    }
    return Result::Done;
}

bool removeTree(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) {
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        bool ok = true;
        while (it.hasNext())
            ok = removeTree(it.next()) && ok;
        return QDir().rmdir(path) && ok;
    }
    return QFile::remove(path);
}

}

namespace FavoritesFolder {

bool isShortcutName(const QString &fileName)
{
    return fileName.endsWith(extension, Qt::CaseInsensitive);
}

QString makeFileName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            out += QLatin1Char('-');
        else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            out += QLatin1Char(' ');
        else if (FileNames::unsafe(c))
            out += QLatin1Char('_');
        else
            out += c;
    }
    out = out.trimmed();
    while (out.startsWith(QLatin1Char('.')))
        out = out.mid(1).trimmed();
    // Cut by bytes, never inside a character.
    out = FileNames::leftBytes(out, maxNameBytes);
    out = out.trimmed();
    return out.isEmpty() ? QStringLiteral("Untitled") : out;
}

bool isInside(const QString &root, const QString &path)
{
    const QString r = clean(root);
    const QString p = clean(path);
    return p == r || p.startsWith(r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/'));
}

Result saveShortcut(const QString &root, const QString &folder, const QString &title, const QString &url,
                    const ConfirmReplace &confirm, QString *path, QString *error)
{
    const QString target = QDir(folder).filePath(makeFileName(title) + extension);
    if (path)
        *path = target;
    if (!QFileInfo(folder).isDir()) {
        setError(error, QStringLiteral("The folder \"%1\" does not exist.").arg(QFileInfo(folder).fileName()));
        return Result::Failed;
    }
    if (!mayAddTo(root, folder, error))
        return Result::Failed;
    if (present(target)) {
        if (QFileInfo(target).isDir()) {
            setError(error, QStringLiteral("There is already a folder named \"%1\".").arg(QFileInfo(target).fileName()));
            return Result::Failed;
        }
        if (!confirm || !confirm(target))
            return Result::Cancelled;
        // Replace the link itself, not whatever it points at.
        if (QFileInfo(target).isSymLink() && !QFile::remove(target)) {
            setError(error, QStringLiteral("\"%1\" could not be replaced.").arg(QFileInfo(target).fileName()));
            return Result::Failed;
        }
    }
    if (!ShortcutFile::writeUrl(target, url)) {
        setError(error, QStringLiteral("The favorite could not be saved."));
        return Result::Failed;
    }
    return Result::Done;
}

bool createFolder(const QString &root, const QString &parent, const QString &name, QString *path, QString *error)
{
    const QString target = QDir(parent).filePath(makeFileName(name));
    if (path)
        *path = target;
    if (!mayAddTo(root, parent, error))
        return false;
    if (present(target)) {
        setError(error, QStringLiteral("There is already an item named \"%1\".").arg(QFileInfo(target).fileName()));
        return false;
    }
    if (!QDir().mkdir(target)) {
        setError(error, QStringLiteral("The folder \"%1\" could not be made.").arg(QFileInfo(target).fileName()));
        return false;
    }
    return true;
}

bool mayChange(const QString &root, const QString &path, QString *error)
{
    // The folder that holds the item is judged by where it really is: through a linked
    // folder the item belongs somewhere else, and deleting or renaming it would reach
    // there. A link itself held in Favorites is ours; what it points at is not touched.
    const QString item = clean(path);
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QString realParent = QFileInfo(QFileInfo(item).path()).canonicalFilePath();
    if (!realRoot.isEmpty() && !realParent.isEmpty() && isInside(realRoot, realParent))
        return true;
    setError(error, QStringLiteral("\"%1\" is in a linked folder outside Favorites and cannot be changed from here.")
                        .arg(QFileInfo(item).fileName()));
    return false;
}

bool mayAddTo(const QString &root, const QString &folder, QString *error)
{
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    // A folder that is gone is reported by the write that fails in it.
    if (realFolder.isEmpty() || (!realRoot.isEmpty() && isInside(realRoot, realFolder)))
        return true;
    const QFileInfo info(clean(folder));
    setError(error, (info.isSymLink()
                         ? QStringLiteral("\"%1\" is a linked folder outside Favorites and cannot be changed from here.")
                         : QStringLiteral("\"%1\" is in a linked folder outside Favorites and cannot be changed from here."))
                        .arg(info.fileName()));
    return false;
}

Result rename(const QString &root, const QString &path, const QString &newName, const ConfirmReplace &confirm,
              QString *newPath, QString *error)
{
    const QFileInfo info(path);
    if (!present(path)) {
        setError(error, QStringLiteral("\"%1\" no longer exists.").arg(info.fileName()));
        return Result::Failed;
    }
    if (!isInside(root, path) || clean(path) == clean(root)) {
        setError(error, QStringLiteral("\"%1\" cannot be renamed.").arg(info.fileName()));
        return Result::Failed;
    }
    if (!mayChange(root, path, error))
        return Result::Failed;
    // A link to a folder is named as the folder it stands for; the link itself is what moves.
    const bool folder = info.isDir();
    const QString name = makeFileName(newName) + (folder ? QString() : extension);
    const QString target = info.dir().filePath(name);
    if (newPath)
        *newPath = target;
    return place(path, target, confirm, error);
}

Result move(const QString &root, const QString &path, const QString &destination, const ConfirmReplace &confirm,
            QString *newPath, QString *error)
{
    const QFileInfo info(path);
    if (!present(path) || !isInside(root, path) || clean(path) == clean(root)) {
        setError(error, QStringLiteral("\"%1\" cannot be moved.").arg(info.fileName()));
        return Result::Failed;
    }
    if (!mayChange(root, path, error))
        return Result::Failed;
    // Judge the destination by where it really is, so that a link cannot lead outside.
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    const QString realDestination = QFileInfo(destination).canonicalFilePath();
    if (realRoot.isEmpty() || realDestination.isEmpty() || !isInside(realRoot, realDestination)
        || !QFileInfo(destination).isDir()) {
        setError(error, QStringLiteral("That folder cannot be found."));
        return Result::Failed;
    }
    if (info.isDir() && !info.isSymLink()
        && (isInside(path, destination) || isInside(info.canonicalFilePath(), realDestination))) {
        setError(error, QStringLiteral("A folder cannot be moved into itself."));
        return Result::Failed;
    }
    const QString target = QDir(destination).filePath(info.fileName());
    if (newPath)
        *newPath = target;
    return place(path, target, confirm, error);
}

bool remove(const QString &root, const QString &path, QString *error)
{
    if (!isInside(root, path) || clean(path) == clean(root) || !present(path)) {
        setError(error, QStringLiteral("\"%1\" cannot be deleted.").arg(QFileInfo(path).fileName()));
        return false;
    }
    if (!mayChange(root, path, error))
        return false;
    if (!removeTree(path)) {
        setError(error, QStringLiteral("\"%1\" could not be deleted completely.").arg(QFileInfo(path).fileName()));
        return false;
    }
    return true;
}

}
