#include "core/wholefile.h"

#include <QSaveFile>

namespace WholeFile {

bool replace(const QString &path, const QByteArray &bytes, QString *error,
             std::optional<QFileDevice::Permissions> permissions)
{
    // Dropped unless committed: the old file stays.
    QSaveFile out(path);
    // Unbuffered, a disk that fills up fails the write itself. Buffered, the failure came
    // only when commit() flushed the buffer, and commit() then put the cut-off (often empty)
    // temporary file in the old one's place and reported success.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    if (permissions)
        out.setPermissions(*permissions);
    // A short write is tried on until the system says why it stops.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = out.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            if (error)
                *error = out.errorString();
            return false;
        }
        done += n;
    }
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

}
