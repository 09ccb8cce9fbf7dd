// vocell: the Vocell Card Utility for the command line.

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "common/Version.h"

namespace {

using vocell::cli::PromptChoice;

// After the commands in vocell --help: what the exit status says, and two examples.
constexpr const char* kHelpFooter =
    "Exit status:\n"
    "  0  done\n"
    "  1  the operation failed or left entries out (card full, write error, unreadable files,\n"
    "     entries stored incomplete, differences found, a restore onto the card interrupted)\n"
    "  2  usage: a wrong or missing argument, a card folder or file not found, an archive on\n"
    "     the card itself, or a question that needs an answer and has none\n"
    "  3  not a valid card archive\n"
    "\n"
    "Examples:\n"
    "  vocell backup /media/$USER/VMCARD ~/site-a.vcb\n"
    "      backs the card in the reader up into site-a.vcb in your home folder\n"
    "  vocell restore --keep-prompts ~/site-a.vcb /media/$USER/VMCARD\n"
    "      restores it, keeping the card's prompts when their version differs from the archive's\n"
    "\n"
    "vocell COMMAND --help says what a command changes on the card; man vocell tells more.";

}  // namespace

// Only laying out the fixed options can throw outside the parse, and only on a mistake in them,
// which every command-line test meets first.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    // Named here, so that the help names the program as it is called and not by its path.
    CLI::App app{
        "vocell - back up, restore, update and initialize Vocell voice-mail cards.\n"
        "CARD is the folder that is the card's root (its mount point).",
        "vocell"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("vocell ") + VOCELL_VERSION, "Print the version and exit");
    vocell::cli::Console console;
    int status = vocell::cli::kDone;
    std::string card, archive;

    auto* backup = app.add_subcommand("backup", "Back up the card into a .vcb archive");
    backup->footer(
        "Changes nothing on the card: the card is only read. The archive is written beside ARCHIVE as\n"
        "ARCHIVE.vocell-XXXXXXXX.partial and takes its name only once it is whole and reads back as\n"
        "written; one that left files out never replaces an earlier backup of that name, and is kept\n"
        "as \"NAME (incomplete).vcb\" instead.");
    backup->add_option("CARD", card, "card folder")->required();
    backup->add_option("ARCHIVE", archive, "archive to write (.vcb added when there is no extension)")
        ->required();
    backup->callback([&] { status = vocell::cli::RunBackup(console, card, archive); });

    bool noVerify = false;
    const std::string noVerifyHelp = "do not read what was written back from the card to compare it";
    bool keepPrompts = false, replacePrompts = false;
    auto* restore = app.add_subcommand("restore", "Restore an archive onto the card");
    restore->footer(
        "Changes the card: writes every folder and file of the archive onto it, over the files of the\n"
        "same names (files the archive does not hold stay). When the archive's prompts are taken, the\n"
        "card's VM/PROMPTS is deleted first. Equal versions keep the card's prompts, a card without\n"
        "prompts takes the archive's, otherwise you are asked (or say which with a flag). While it\n"
        "writes, VOCELL-RESTORE-INTERRUPTED.TXT at the card's root marks it; the mark goes when every\n"
        "entry is on the card as stored.");
    restore->add_option("ARCHIVE", archive, "archive to restore")->required();
    restore->add_option("CARD", card, "card folder")->required();
    auto* keep =
        restore->add_flag("--keep-prompts", keepPrompts, "keep the card's prompts when the versions differ");
    restore
        ->add_flag("--replace-prompts", replacePrompts, "take the archive's prompts when the versions differ")
        ->excludes(keep);
    restore->add_flag("--no-verify", noVerify, noVerifyHelp);
    restore->callback([&] {
        std::optional<PromptChoice> choice;
        if (keepPrompts) choice = PromptChoice::Keep;
        if (replacePrompts) choice = PromptChoice::Replace;
        status = vocell::cli::RunRestore(console, archive, card, choice, !noVerify);
    });

    bool yes = false;
    auto* update = app.add_subcommand("update", "Replace the card's prompts from a .vcp package");
    update->footer(
        "Changes the card's prompts only: deletes the card's prompt folder VM/PROMPTS and writes the\n"
        "package's in its place, after asking (or with --yes); the rest of the card stays as it is.");
    update->add_option("PACKAGE", archive, "prompt package")->required();
    update->add_option("CARD", card, "card folder")->required();
    update->add_flag("--yes", yes, "replace the prompts without asking");
    update->add_flag("--no-verify", noVerify, noVerifyHelp);
    update->callback([&] { status = vocell::cli::RunUpdate(console, archive, card, yes, !noVerify); });

    auto* init = app.add_subcommand("init", "Lay the initial card structure onto a card without prompts");
    init->footer(
        "Changes a card that holds no prompts: writes the initial card structure onto it (it does not\n"
        "format). A card that holds prompts is left as it was.");
    init->add_option("CARD", card, "card folder")->required();
    init->add_flag("--no-verify", noVerify, noVerifyHelp);
    init->callback([&] { status = vocell::cli::RunInit(console, card, !noVerify); });

    bool json = false;
    auto* list = app.add_subcommand("list", "List the entries of an archive");
    list->footer("Changes nothing: reads the archive only.");
    list->add_option("ARCHIVE", archive, "archive")->required();
    list->add_flag("--json", json, "print JSON");
    list->callback([&] { status = vocell::cli::RunList(console, archive, json); });

    auto* verify = app.add_subcommand("verify", "Check an archive, and compare it with a card");
    verify->footer("Changes nothing: reads the archive, and the card when one is given.");
    verify->add_option("ARCHIVE", archive, "archive")->required();
    verify->add_option("CARD", card, "card folder to compare with");
    verify->callback([&] {
        std::optional<std::filesystem::path> cardFolder;
        if (!card.empty()) cardFolder = card;
        status = vocell::cli::RunVerify(console, archive, cardFolder);
    });

    auto* version = app.add_subcommand("version", "Print the prompt version of a card or an archive");
    version->footer("Changes nothing: reads the card or the archive only.");
    version->add_option("PATH", archive, "card folder or archive")->required();
    version->callback([&] { status = vocell::cli::RunVersion(console, archive); });

    app.footer(kHelpFooter);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int exitCode = app.exit(error);
        return exitCode == 0 ? vocell::cli::kDone : vocell::cli::kUsage;
    } catch (const std::exception& error) {
        console.Complain(std::string("vocell: ") + error.what());
        return vocell::cli::kFailed;
    }
    return status;
}
