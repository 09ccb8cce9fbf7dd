// Initialize through the whole program, from the main dialog's button to the card, on a card that
// holds no prompts (which Initialize would lay the initial structure onto): a format that is
// refused writes nothing onto the card, whether the card is a folder given with --card-folder, a
// card the disk service says is on no removable medium, or a stick that took the card's place
// while our format dialog was open; a format that fails reaches the user with the card left as it
// was. The same card still there is formatted and initialized.

#include "tests/qt/CardSwap.h"

#include <QDialog>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "qt/TemplateWidgets.h"
#include "qt/program/DesktopProgram.h"
#include "tests/qt/GuiTestSupport.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

class InitializeThroughTheProgramTest : public CardSwapTest {
protected:
    InitializeThroughTheProgramTest() {
        std::filesystem::remove_all(install_.card() / "VM" / "PROMPTS");
        card_.mountPoint = install_.card().string();
    }

    // The program on the machine's drives, or on the card folder; every message box answers Yes.
    void StartProgram(bool onCardFolder) {
        qt::ProgramOptions options;
        if (onCardFolder) options.cardFolder = install_.card();
        options.extraMediaRoots = {install_.root()};
        options.adjustServices = [this](qt::DesktopServices& services) {
            services.messageBox = [this](QWidget*, const QString& text, MessageButtons) {
                messages_.push_back(text.toStdString());
                return MessageAnswer::Yes;
            };
        };
        program_ = std::make_unique<qt::DesktopProgram>(options);
        ASSERT_TRUE(program_->Start());
        AnswerNextModal([](QWidget* chooser) { qobject_cast<QDialog*>(chooser)->accept(); });
        program_->dialog().OnCommand(ControlId::Select);
        ASSERT_EQ(program_->dialog().cardFields().statusText, text::kReady);
        ASSERT_EQ(program_->dialog().cardFields().promptVersionText, text::kNoPrompts);
        before_ = SnapshotTree(install_.card(), {}, SizeAndHash);
    }

    // Initialize; our format dialog, once open, runs duringDialog and then Start.
    void Initialize(const std::function<void()>& duringDialog = [] {}) {
        AnswerNextModal([duringDialog](QWidget* dialog) {
            duringDialog();
            qobject_cast<QDialog*>(dialog)->accept();
        });
        program_->dialog().OnCommand(ControlId::Initialize);
    }

    [[nodiscard]] std::vector<std::string> Asked(const std::string& last) const {
        return {std::string(text::kReformatQuestion), std::string(text::kFormatNotice), last};
    }

    TestInstallation install_;
    std::unique_ptr<qt::DesktopProgram> program_;
    std::vector<std::string> messages_;
    TreeSnapshot before_;
};

TEST_F(InitializeThroughTheProgramTest, CardFolderIsRefusedAndNothingIsWrittenOntoIt) {
    StartProgram(true);
    program_->dialog().OnCommand(ControlId::Initialize);
    EXPECT_EQ(messages_, Asked("E:" + std::string(text::format::kNotACardReader)));
    EXPECT_EQ(SnapshotTree(install_.card(), {}, SizeAndHash), before_);
}

TEST_F(InitializeThroughTheProgramTest, CardOnNoRemovableMediumIsRefusedAndNothingIsWrittenOntoIt) {
    PlugCard({{QStringLiteral("Removable"), false}, {QStringLiteral("MediaRemovable"), false}});
    StartProgram(false);
    program_->dialog().OnCommand(ControlId::Initialize);
    EXPECT_EQ(messages_, Asked("VMCARD (D:)" + std::string(text::format::kNotRemovable)));
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 0);
    EXPECT_EQ(SnapshotTree(install_.card(), {}, SizeAndHash), before_);
}

TEST_F(InitializeThroughTheProgramTest, StickSwappedInWhileOurDialogIsOpenIsNotFormattedAndNothingIsWritten) {
    PlugCard();
    StartProgram(false);
    Initialize([this] { SwapForStick(); });
    EXPECT_EQ(messages_, Asked(std::string(text::kPleaseSelectDevice)));
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 0);
    EXPECT_EQ(MockUDisks2::Property(kSdb1Block, "IdLabel").toString(), QStringLiteral("PHOTOS"));
    EXPECT_EQ(SnapshotTree(install_.card(), {}, SizeAndHash), before_);
}

TEST_F(InitializeThroughTheProgramTest, FormatErrorReachesTheUserAndNothingIsWrittenOntoTheCard) {
    PlugCard();
    StartProgram(false);
    MockUDisks2::FailFormat(kSdb1Block, QStringLiteral("Error wiping device: Device busy"));
    Initialize();
    EXPECT_EQ(messages_,
              Asked(std::string(text::format::kFormatFailed) + "Error wiping device: Device busy"));
    EXPECT_EQ(SnapshotTree(install_.card(), {}, SizeAndHash), before_);
    EXPECT_EQ(program_->window().statusBar()->paneText(0), qt::ToQString(text::kReady));
}

TEST_F(InitializeThroughTheProgramTest, SameCardStillThereIsFormattedAndInitialized) {
    PlugCard();
    StartProgram(false);
    Initialize();
    EXPECT_EQ(messages_, (std::vector<std::string>{std::string(text::kReformatQuestion),
                                                   std::string(text::kFormatNotice)}));
    EXPECT_EQ(MockUDisks2::Calls(kSdb1Block, "Format"), 1);
    EXPECT_TRUE(std::filesystem::exists(install_.card() / "VM" / "PROMPTS"));
    ASSERT_TRUE(program_->dialog().lastOutcome().has_value());
    EXPECT_TRUE(program_->dialog().lastOutcome()->done());
}

}  // namespace
}  // namespace vocell::test
