#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs mounted for one test, to make a disk full or a folder read-only for real
// (as root, permission bits stop nothing). Unmounted when it goes.
class ScratchMount final
{
public:
    // options as for mount -o, e.g. "size=64k" or "ro,size=64k"
    explicit ScratchMount(const QString &options);
    ~ScratchMount();
    ScratchMount(const ScratchMount &) = delete;
    ScratchMount &operator=(const ScratchMount &) = delete;

    [[nodiscard]] bool isMounted() const { return m_mounted; }
    [[nodiscard]] const QString &error() const { return m_error; }
    [[nodiscard]] QString path() const { return m_directory.path(); }
    [[nodiscard]] QString filePath(const QString &name) const { return m_directory.filePath(name); }

    // Mounts again with other options, keeping what the mount holds (e.g. "remount,ro").
    bool remount(const QString &options);

private:
    QTemporaryDir m_directory;
    bool m_mounted = false;
    QString m_error;
};
