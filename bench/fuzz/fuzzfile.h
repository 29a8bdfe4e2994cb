#pragma once
// Files for the fuzz targets whose readers take a path: one private folder, in
// memory when /dev/shm is there, made once per run and used as the home folders.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace FuzzFile {

inline QString dir()
{
    static QTemporaryDir tmp(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/quillon-fuzz-XXXXXX")
                                                                      : QDir::tempPath() + QStringLiteral("/quillon-fuzz-XXXXXX"));
    return tmp.path();
}

inline void home()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    qputenv("XDG_CONFIG_HOME", dir().toUtf8());
    qputenv("XDG_DATA_HOME", dir().toUtf8());
    QDir().mkpath(dir() + QStringLiteral("/Quillon"));
}

inline void writeAt(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path + QStringLiteral(".lock"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

inline QString write(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = dir() + QLatin1Char('/') + name;
    writeAt(path, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return path;
}

inline QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}
