// vocell: the Vocell Card Utility for the command line.

#include <CLI/CLI.hpp>

#include "cli/Commands.h"

namespace {

using vocell::cli::PromptChoice;

}  // namespace

// Only laying out the fixed options can throw outside the parse, and only on a mistake in them,
// which every command-line test meets first.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    CLI::App app{
        "vocell - back up, restore, update and initialize Vocell voice-mail cards.\n"
        "CARD is the folder that is the card's root (its mount point)."};
    app.require_subcommand(1);
    vocell::cli::Console console;
    int status = vocell::cli::kDone;
    std::string card, archive;

    auto* backup = app.add_subcommand("backup", "Back up the card into a .vcb archive");
    backup->add_option("CARD", card, "card folder")->required();
    backup->add_option("ARCHIVE", archive, "archive to write (.vcb added when there is no extension)")
        ->required();
    backup->callback([&] { status = vocell::cli::RunBackup(console, card, archive); });

    bool noVerify = false;
    const std::string noVerifyHelp = "do not read what was written back from the card to compare it";
    bool keepPrompts = false, replacePrompts = false;
    auto* restore = app.add_subcommand("restore", "Restore an archive onto the card");
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
    update->add_option("PACKAGE", archive, "prompt package")->required();
    update->add_option("CARD", card, "card folder")->required();
    update->add_flag("--yes", yes, "replace the prompts without asking");
    update->add_flag("--no-verify", noVerify, noVerifyHelp);
    update->callback([&] { status = vocell::cli::RunUpdate(console, archive, card, yes, !noVerify); });

    auto* init = app.add_subcommand("init", "Lay the initial card structure onto a card without prompts");
    init->add_option("CARD", card, "card folder")->required();
    init->add_flag("--no-verify", noVerify, noVerifyHelp);
    init->callback([&] { status = vocell::cli::RunInit(console, card, !noVerify); });

    bool json = false;
    auto* list = app.add_subcommand("list", "List the entries of an archive");
    list->add_option("ARCHIVE", archive, "archive")->required();
    list->add_flag("--json", json, "print JSON");
    list->callback([&] { status = vocell::cli::RunList(console, archive, json); });

    auto* verify = app.add_subcommand("verify", "Check an archive, and compare it with a card");
    verify->add_option("ARCHIVE", archive, "archive")->required();
    verify->add_option("CARD", card, "card folder to compare with");
    verify->callback([&] {
        std::optional<std::filesystem::path> cardFolder;
        if (!card.empty()) cardFolder = card;
        status = vocell::cli::RunVerify(console, archive, cardFolder);
    });

    auto* version = app.add_subcommand("version", "Print the prompt version of a card or an archive");
    version->add_option("PATH", archive, "card folder or archive")->required();
    version->callback([&] { status = vocell::cli::RunVersion(console, archive); });

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
