#pragma once
#include <QSet>
#include <QString>

// One walk of the Favorites folder, shared by the tree and the add and organise dialogs.
// Each real folder is walked once however many links lead to it (links to links can
// otherwise make a few folders into millions of paths), and the walk stops at MaxDepth
// levels and MaxEntries entries, far beyond a real Favorites folder.
class WalkBounds
{
public:
    static constexpr int MaxDepth = 64;
    static constexpr int MaxEntries = 20000;

    // True when the folder at path, depth levels below the start, is to be shown and
    // walked: not seen before in this walk and within the bounds. Records it.
    bool enter(const QString &path, int depth);
    // True while one more entry fits; counts it.
    bool take();

    bool cut() const { return m_cut; }
    // Said to the user when the walk stopped short.
    QString message() const;

private:
    QSet<QString> m_seen;
    int m_entries = 0;
    bool m_cut = false;
};
