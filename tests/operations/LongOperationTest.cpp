// A long operation draws at a pace, not at every entry, says how far it has come, and lets the
// window keep answering the system while it runs; what the system asks for then cannot start or
// end anything.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/DialogLayout.h"
#include "operations/ProgressEstimate.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/DialogFixture.h"

namespace vocell::test {
namespace {

class LongOperationTest : public DialogTest {
protected:
    // A card of count small files in one folder.
    void AddCardOfSmallFiles(int count) {
        AddCard('E');
        for (int i = 0; i < count; ++i) {
            machine.PutOnDrive('E', "VM/MSGS/100/M" + std::to_string(i) + ".WAV", "message");
        }
    }
    [[nodiscard]] std::size_t DetailPaneDrawings() const {
        std::size_t drawn = 0;
        for (const std::string& line : desktop.FilterTranscript("pane 1: ")) drawn += line != "pane 1: ";
        return drawn;
    }
};

TEST_F(LongOperationTest, BackupDrawsTheNewestPathAtItsPaceAndKeepsTheWindowAnswering) {
    AddCardOfSmallFiles(200);
    StartWithCardSelected();
    screenTick = std::chrono::milliseconds(1);  // a pace of one drawing in about 33 readings
    desktop.AnswerSaveDialog(BackupPath("card.vcb"));
    int seenWhileRunning = 0;
    desktop.whileResponding = [&] { seenWhileRunning += dialog->operationRunning() ? 1 : 0; };
    dialog->OnCommand(ControlId::Backup);

    EXPECT_EQ(messages().back(), text::kBackupComplete);
    ASSERT_TRUE(dialog->lastOutcome().has_value());
    // VM\, MSGS\, 100\, the files, and the prompts' five folders and two files.
    EXPECT_EQ(dialog->lastOutcome()->pathsStored, 210u);
    const std::size_t drawn = DetailPaneDrawings();
    EXPECT_GE(drawn, 2u);
    EXPECT_LT(drawn, 40u);
    EXPECT_EQ(desktop.keepRespondingCalls(), seenWhileRunning);
    EXPECT_GE(seenWhileRunning, 2);
    EXPECT_FALSE(dialog->operationRunning());
}

TEST_F(LongOperationTest, EveryStepIsDrawnWhenTheClockSaysSoUpToTheWholeArchive) {
    AddCardOfSmallFiles(20);
    StartWithCardSelected();
    desktop.AnswerSaveDialog(BackupPath("card.vcb"));
    dialog->OnCommand(ControlId::Backup);

    const std::vector<std::string> drawn = desktop.FilterTranscript("pane 1: ");
    for (int i = 0; i < 20; ++i) {
        const std::string path = "pane 1: E:\\\\VM\\\\MSGS\\\\100\\M" + std::to_string(i) + ".WAV - ";
        EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const std::string& line) {
            return line.starts_with(path);
        })) << path;
    }
    // Before the pane is emptied at the end: the whole archive, measured before it was written.
    ASSERT_GE(drawn.size(), 2u);
    const std::string whole = operations::SizeText(std::filesystem::file_size(BackupFile("card.vcb")));
    EXPECT_NE(drawn[drawn.size() - 2].find(" - " + whole + std::string(text::kProgressOf) + whole),
              std::string::npos)
        << drawn[drawn.size() - 2];
}

// Each pass of a restore has its own bar: the archive's check before the card is touched, the
// writing, the read-back. Each keeps the window answering and counts up to the archive's length.
TEST_F(LongOperationTest, EachPassOfARestoreShowsHowFarItHasComeAndKeepsTheWindowAnswering) {
    AddCard('E');
    test::ArchiveBuilder archive("1.31");
    for (int i = 0; i < 300; ++i) archive.Tree("VM/MSGS/100/M" + std::to_string(i) + ".WAV", "message");
    archive.WriteTo(BackupFile("b.vcb"));
    const std::uint64_t length = archive.bytes().size();
    StartWithCardSelected();
    desktop.AnswerOpenDialog(BackupPath("b.vcb"));
    int answeredBeforeTheCardChanged = 0;
    desktop.whileResponding = [&] {
        if (!machine.ExistsOnDrive('E', "VM/MSGS")) ++answeredBeforeTheCardChanged;
    };
    dialog->OnCommand(ControlId::Restore);
    ASSERT_TRUE(dialog->lastOutcome().has_value());
    EXPECT_TRUE(dialog->lastOutcome()->done());

    EXPECT_GE(answeredBeforeTheCardChanged, 10);  // the check reads every entry first
    std::vector<std::string_view> passes;
    int lastPosition = 0;
    for (const ProgressReport& report : desktop.progressReports()) {
        EXPECT_EQ(report.bytesTotal, length);
        EXPECT_LE(report.bytesDone, length);
        EXPECT_LE(report.position, ProgressReport::kSteps);
        EXPECT_EQ(report.reading.substr(0, report.reading.find(text::kProgressOf)),
                  operations::SizeText(report.bytesDone));
        for (std::string_view word :
             {text::kProgressChecked, text::kProgressWritten, text::kProgressCompared}) {
            if (report.reading.find(word) == std::string::npos) continue;
            if (passes.empty() || passes.back() != word) {
                passes.push_back(word);
                lastPosition = 0;
            }
        }
        EXPECT_GE(report.position, lastPosition);  // within a pass the bar only moves on
        lastPosition = report.position;
    }
    EXPECT_EQ(passes, (std::vector<std::string_view>{text::kProgressChecked, text::kProgressWritten,
                                                     text::kProgressCompared}));
    EXPECT_GE(desktop.progressReports().back().position, 90);
}

// The reading beside the bar: sizes in units of 1,024 with one decimal, and the time left from the
// rate so far once a second has passed or a twentieth is done.
TEST(ProgressEstimateTest, ReadsTheBytesAndTellsTheTimeLeftOnceItCan) {
    using std::chrono::milliseconds;
    struct Case {
        std::uint64_t total;
        std::uint64_t done;
        milliseconds elapsed;
        const char* reading;
    };
    constexpr std::uint64_t kMB = 1024 * 1024;
    const Case cases[] = {
        {1000, 0, milliseconds(5000), "0 bytes of 1000 bytes written"},         // no rate yet
        {100 * kMB, 4 * kMB, milliseconds(900), "4.0 MB of 100.0 MB written"},  // under 1 s and 5 %
        {100 * kMB, 5 * kMB, milliseconds(500), "5.0 MB of 100.0 MB written, about 10 s left"},
        {100 * kMB, 1 * kMB, milliseconds(1000), "1.0 MB of 100.0 MB written, about 2 min left"},
        {100 * kMB, 50 * kMB, milliseconds(4000), "50.0 MB of 100.0 MB written, about 4 s left"},
        {100 * kMB, 99 * kMB + 1, milliseconds(99000), "99.0 MB of 100.0 MB written, about 1 s left"},
        {1000 * kMB, 1 * kMB, milliseconds(10000), "1.0 MB of 1000.0 MB written, about 2 h 47 min left"},
        {100 * kMB, 100 * kMB, milliseconds(7000), "100.0 MB of 100.0 MB written"},  // nothing left
        {100 * kMB, 101 * kMB, milliseconds(7000), "100.0 MB of 100.0 MB written"},  // a file grew
        {1, 0, milliseconds(0), "0 bytes of 1 byte written"},
        {1023, 0, milliseconds(0), "0 bytes of 1023 bytes written"},
        {1024, 0, milliseconds(0), "0 bytes of 1.0 KB written"},
        {1075, 0, milliseconds(0), "0 bytes of 1.0 KB written"},  // 1.0498 KB
        {1076, 0, milliseconds(0), "0 bytes of 1.1 KB written"},  // 1.0508 KB
        {kMB - 52, 0, milliseconds(0), "0 bytes of 1023.9 KB written"},
        {kMB - 51, 0, milliseconds(0), "0 bytes of 1.0 MB written"},  // rounds to 1024.0 KB
        {12 * kMB + 4 * kMB / 10, 0, milliseconds(0), "0 bytes of 12.4 MB written"},
        {1024 * kMB, 0, milliseconds(0), "0 bytes of 1.0 GB written"},
        {1024ULL * 1024 * kMB * 3, 0, milliseconds(0), "0 bytes of 3.0 TB written"},
    };
    for (const Case& c : cases) {
        std::chrono::steady_clock::time_point now{};
        operations::ProgressEstimate estimate(c.total, text::kProgressWritten, [&] { return now; });
        now += c.elapsed;
        EXPECT_EQ(estimate.Reading(c.done), c.reading) << c.total << " " << c.done;
    }
    EXPECT_EQ(operations::DurationText(std::chrono::seconds(59)), "59 s");
    EXPECT_EQ(operations::DurationText(std::chrono::seconds(60)), "1 min");
    EXPECT_EQ(operations::DurationText(std::chrono::seconds(89)), "1 min");
    EXPECT_EQ(operations::DurationText(std::chrono::seconds(90)), "2 min");
    EXPECT_EQ(operations::DurationText(std::chrono::seconds(3569)), "59 min");
    EXPECT_EQ(operations::DurationText(std::chrono::seconds(3570)), "1 h 0 min");
}

TEST_F(LongOperationTest, ACommandOrDeviceChangeWhileTheWindowAnswersChangesNothingOfTheRestore) {
    AddCard('E');
    machine.PutOnDrive('E', "VM/MSGS/100/OLD.WAV", "old");
    ArchiveBuilder("1.31").Tree("VM/MSGS/100/M1.WAV", std::string(200'000, 'm')).WriteTo(BackupFile("b.vcb"));
    StartWithCardSelected();
    desktop.AnswerOpenDialog(BackupPath("b.vcb"));
    int respondedWhileRunning = 0;
    desktop.whileResponding = [&] {
        if (!dialog->operationRunning()) return;
        ++respondedWhileRunning;
        dialog->OnDeviceChange(devices::DeviceEvent::Refresh);
        dialog->OnCommand(ControlId::Cancel);
        dialog->OnCommand(ControlId::Restore);
    };
    dialog->OnCommand(ControlId::Restore);

    ASSERT_TRUE(dialog->lastOutcome().has_value());
    EXPECT_TRUE(dialog->lastOutcome()->done());
    EXPECT_GE(respondedWhileRunning, 1);
    EXPECT_EQ(machine.ReadOnDrive('E', "VM/MSGS/100/M1.WAV"), std::string(200'000, 'm'));
    EXPECT_EQ(desktop.FilterTranscript("open dialog").size(), 1u);  // no second restore began
    EXPECT_FALSE(desktop.endedWith().has_value());
}

}  // namespace
}  // namespace vocell::test
