#pragma once
// The mock UDisks2 of udisks2_mock.py, from a test: drives and block devices put in to mirror the
// umockdev readers and disks, their properties read back, and a method made to fail.

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include "platform/linux/format/UDisks2Names.h"
#include "tests/qt/MockDrives.h"

namespace vocell::test {

class MockUDisks2 {
public:
    // Waits for the mock on the bus and empties it; false when it did not come up.
    [[nodiscard]] static bool Reset();

    // The reader as UDisks2 shows it: a drive object named DriveName, its serial udev's
    // ID_SERIAL_SHORT.
    static QString AddDrive(const MockDisk& disk, QVariantMap properties = {});
    // Partition number (from 1) of the disk, one of count, as UDisks2 shows it; properties add to or
    // replace the Block interface's.
    static QString AddPartition(const MockDisk& disk, int number, const MockPartition& partition,
                                std::size_t count, const QVariantMap& properties = {});
    static QString AddBlock(const QString& name, const QString& drive, const QVariantMap& properties);
    // The reader's serial, or the disk's name when it has none.
    static QString DriveName(const MockDisk& disk);
    static void Remove(const QString& path);

    static QVariant Property(const QString& path, const char* name,
                             const QString& interface = qt::udisks2::kBlock);
    // How often the method was called on the object.
    static int Calls(const QString& path, const char* method);
    // Makes the block's Format fail with the message, as the service does when the device is busy.
    static void FailFormat(const QString& path, const QString& message);
};

}  // namespace vocell::test
