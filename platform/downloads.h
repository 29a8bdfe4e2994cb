#pragma once
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QWebEngineProfile;
class QWebEngineDownloadRequest;
class QWidget;

// Files the engine cannot show (archives, attachments, "Save link") are saved into the
// user's download folder under a name that never replaces a file, written under a
// temporary name until complete. Keeps the downloads of this run for the Downloads window.
class Downloads : public QObject
{
    Q_OBJECT
public:
    enum class State { Running, Saved, Failed, Cancelled };
    struct Item {
        QString name;   // the file's final name
        QString folder;
        qint64 received = 0;
        qint64 total = -1;
        State state = State::Running;
        QString error;
        std::function<void()> cancel;
        QString path() const { return folder + QLatin1Char('/') + name; }
        QString partPath() const; // where it is written until complete
    };

    static Downloads *instance();
    // The engine's profile whose downloads this handles.
    void watch(QWebEngineProfile *profile);

    const QList<Item> &items() const { return m_items; }
    void cancel(int index);
    // The Downloads window, made on first use.
    void showWindow(QWidget *parent);

    static QString folder();
    // name in folder when free, else "name (2).ext", "name (3).ext", ...; also avoids names in reserved.
    static QString uniqueName(const QString &folder, const QString &name, const QStringList &reserved = {});
    static QString safeName(const QString &suggested);

Q_SIGNALS:
    void statusText(const QString &text);
    void changed(int index);
    void added(int index);

private:
    void onRequested(QWebEngineDownloadRequest *request);
    void follow(int index, QWebEngineDownloadRequest *request);
    void finish(int index, QWebEngineDownloadRequest *request);
    void fail(int index, const QString &why);
    QStringList reservedNames() const;

    QList<Item> m_items;
    QHash<quint32, int> m_byId;
};
