#pragma once
// The names under which the UDisks2 disk service answers on the system bus.

#include <QString>

namespace vocell::qt::udisks2 {

inline const QString kService = QStringLiteral("org.freedesktop.UDisks2");
inline const QString kRootPath = QStringLiteral("/org/freedesktop/UDisks2");
inline const QString kManagerPath = QStringLiteral("/org/freedesktop/UDisks2/Manager");
inline const QString kManager = QStringLiteral("org.freedesktop.UDisks2.Manager");
inline const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
inline const QString kDrive = QStringLiteral("org.freedesktop.UDisks2.Drive");
inline const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
inline const QString kPartition = QStringLiteral("org.freedesktop.UDisks2.Partition");
inline const QString kObjectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
inline const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace vocell::qt::udisks2
