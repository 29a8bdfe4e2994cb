#pragma once
#include <QString>
#include <functional>

// Changes to the Favorites folder made by the add and organise dialogs. Every change
// stays inside the folder it is given, and nothing that exists is replaced unless the
// caller's question is answered yes.
namespace FavoritesFolder {

// Asked before an existing shortcut is replaced; true to replace it.
using ConfirmReplace = std::function<bool(const QString &existingPath)>;

enum class Result { Done, Cancelled, Failed };

// Turns a title into a file name: no path separators or control characters, no leading
// dots or surrounding blanks, short enough for the file system with ".url" added;
// "Untitled" when nothing is left.
QString makeFileName(const QString &name);

// Writes a shortcut named after title into folder, which must lie inside root once links
// are followed (mayAddTo). error receives the reason on failure.
Result saveShortcut(const QString &root, const QString &folder, const QString &title, const QString &url,
                    const ConfirmReplace &confirm, QString *path = nullptr, QString *error = nullptr);

// Makes a new folder inside parent, which must lie inside root once links are followed;
// false if it exists or cannot be made.
bool createFolder(const QString &root, const QString &parent, const QString &name, QString *path = nullptr,
                  QString *error = nullptr);

// Renames a shortcut (keeping its ".url") or a folder under root within its own folder.
// A link to a folder is renamed as a folder: the link, not the folder it points at.
Result rename(const QString &root, const QString &path, const QString &newName, const ConfirmReplace &confirm,
              QString *newPath = nullptr, QString *error = nullptr);

// Moves a shortcut or folder into another folder under root.
Result move(const QString &root, const QString &path, const QString &destination, const ConfirmReplace &confirm,
            QString *newPath = nullptr, QString *error = nullptr);

// Deletes a shortcut, or a folder with everything in it (links are removed, never followed).
bool remove(const QString &root, const QString &path, QString *error = nullptr);

// False, with the reason, when the folder holding path does not really lie inside root
// once links are followed: what a linked folder holds is not changed from here.
bool mayChange(const QString &root, const QString &path, QString *error = nullptr);

// False, with the reason, when folder does not really lie inside root once links are
// followed: nothing is written through a link into a folder outside Favorites.
bool mayAddTo(const QString &root, const QString &folder, QString *error = nullptr);

// True when path is root itself or lies inside it.
bool isInside(const QString &root, const QString &path);
// True for a file that the tree reads as a shortcut (name ends in ".url", any case).
bool isShortcutName(const QString &fileName);

}
