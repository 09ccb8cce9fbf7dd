// Checks that the test machine behaves like the drives it stands for.

#include <gtest/gtest.h>

#include "tests/support/FakeMachine.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {
namespace {

TEST(FakeMachineTest, DriveWithoutMediumIsNotReady) {
    FakeMachine machine;
    EXPECT_EQ(machine.fileSystem().listFolder("E:\\").status().error, FsError::NotReady);
    machine.volumes().addDrive('E', DriveType::Removable, false);
    EXPECT_EQ(machine.fileSystem().listFolder("E:\\").status().error, FsError::NotReady);
    EXPECT_EQ(machine.volumes().openRootForReading("E:\\").error, FsError::NotReady);
    EXPECT_EQ(machine.volumes().openRootForReading("G:\\").error, FsError::PathNotFound);
}

TEST(FakeMachineTest, EjectedMediumIsGoneUntilInsertedAgain) {
    FakeMachine machine;
    machine.volumes().addDrive('E', DriveType::Removable);
    machine.putOnDrive('E', "VM/PROMPTS/VERSION.TXT", "1.3.1");
    ASSERT_TRUE(machine.fileSystem().fileSize("E:\\VM\\PROMPTS\\VERSION.TXT").ok());

    machine.volumes().ejectMedium('E');
    EXPECT_EQ(machine.fileSystem().fileSize("E:\\VM\\PROMPTS\\VERSION.TXT").status().error,
              FsError::NotReady);
    machine.volumes().insertMedium('E');
    EXPECT_EQ(machine.readOnDrive('E', "VM/PROMPTS/VERSION.TXT"), "1.3.1");
    EXPECT_TRUE(machine.fileSystem().fileSize("E:\\VM\\PROMPTS\\VERSION.TXT").ok());
}

TEST(FakeMachineTest, InstallFolderHoldsTheInstalledData) {
    FakeMachine machine;
    auto size = machine.fileSystem().fileSize("C:\\Harlo\\Vocell\\Data\\InitializedFileStruct.vcb");
    ASSERT_TRUE(size.ok());
    EXPECT_GT(size.value(), 0u);
    EXPECT_TRUE(machine.fileSystem().listFolder("C:\\Harlo\\Vocell\\Backup").ok());
    machine.removeInstalled("Data");
    EXPECT_FALSE(
        machine.fileSystem().fileSize("C:\\Harlo\\Vocell\\Data\\InitializedFileStruct.vcb").ok());
}

TEST(FakeVolumesTest, CensusClosesEveryDevice) {
    FakeMachine machine;
    FakeVolumes& volumes = machine.volumes();
    volumes.addDrive('E', DriveType::Removable);
    volumes.addDrive('F', DriveType::Removable, false);
    int withExtents = 0;
    EXPECT_TRUE(volumes.enumerateVolumes([&](const std::string& name) {
        EXPECT_EQ(volumes.driveType(name),
                  name == FakeVolumes::volumeName('C') ? DriveType::Fixed : DriveType::Removable);
        auto device = volumes.openVolumeDevice(name.substr(0, name.size() - 1));
        if (device != nullptr && device->queryDiskExtents()) ++withExtents;
        return true;
    }));
    EXPECT_EQ(withExtents, 2);  // C and E
    EXPECT_EQ(volumes.volumesVisited(), 3);
    EXPECT_EQ(volumes.closedDevices(), 3);
    EXPECT_EQ(volumes.liveDevices(), 0);
    EXPECT_EQ(volumes.logicalDrives(), (1u << 2) | (1u << 4) | (1u << 5));
}

TEST(ScriptedDesktopTest, ModalActionRunsBeforeTheAnswer) {
    ScriptedDesktop desktop;
    desktop.answerMessage(MessageAnswer::Yes);
    desktop.duringNextModal([&] { desktop.push({}); });
    EXPECT_EQ(desktop.messageBox("Go on?", MessageButtons::YesNo), MessageAnswer::Yes);
    desktop.messageBox("Done", MessageButtons::Ok);
    EXPECT_EQ(desktop.transcript(),
              (std::vector<std::string>{"question(yes/no): Go on? -> yes", "push",
                                        "message: Done"}));
    EXPECT_EQ(desktop.pendingAnswers(), 0u);
}

}  // namespace
}  // namespace vocell::test
