#pragma once
// A FileSystem that hands every call on to another one, each path first passed through Route: a
// wrapper overrides Route to rewrite paths or to fail them, and otherwise only the calls it
// changes.

#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace vocell::test {

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

    FsResult<std::vector<FolderEntry>> ListFolder(const std::string& folder) override {
        return On(folder, [&](const std::string& at) { return inner_.ListFolder(at); });
    }
    FsResult<std::uint32_t> Attributes(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.Attributes(at); });
    }
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override {
        return On(path, [&](const std::string& at) { return inner_.SetAttributes(at, attributes); });
    }
    FsResult<std::unique_ptr<FileReader>> OpenRead(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.OpenRead(at); });
    }
    FsResult<std::unique_ptr<FileReader>> OpenReadFromMedium(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.OpenReadFromMedium(at); });
    }
    FsResult<std::unique_ptr<FileWriter>> OpenWrite(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.OpenWrite(at); });
    }
    FsResult<std::unique_ptr<FileWriter>> CreateNew(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.CreateNew(at); });
    }
    FsStatus CreateFolder(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.CreateFolder(at); });
    }
    FsResult<FileTimes> Times(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.Times(at); });
    }
    FsStatus SetTimes(const std::string& path, const FileTimes& times) override {
        return On(path, [&](const std::string& at) { return inner_.SetTimes(at, times); });
    }
    FsStatus DeleteTree(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.DeleteTree(at); });
    }
    FsResult<std::uint64_t> FileSize(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.FileSize(at); });
    }
    FsStatus Rename(const std::string& from, const std::string& to) override {
        return On(to, [&](const std::string& target) {
            return On(from, [&](const std::string& source) { return inner_.Rename(source, target); });
        });
    }
    FsStatus RemoveFile(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.RemoveFile(at); });
    }
    FsStatus FlushVolume(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.FlushVolume(at); });
    }
    FsStatus FlushFolder(const std::string& folder) override {
        return On(folder, [&](const std::string& at) { return inner_.FlushFolder(at); });
    }
    FsResult<std::uint64_t> FreeSpace(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.FreeSpace(at); });
    }
    FsResult<std::uint64_t> AllocationUnit(const std::string& path) override {
        return On(path, [&](const std::string& at) { return inner_.AllocationUnit(at); });
    }
    bool MergesNameVariants(const std::string& path) override {
        auto routed = Route(path);
        return routed.ok() && inner_.MergesNameVariants(routed.value());
    }
    FsResult<bool> LiesWithin(const std::string& path, const std::string& folder) override {
        return On(folder, [&](const std::string& outer) {
            return On(path, [&](const std::string& at) { return inner_.LiesWithin(at, outer); });
        });
    }
    std::string DescribeError(const FsStatus& status) const override { return inner_.DescribeError(status); }

protected:
    // The path the wrapped file system is given for path, or the failure the call ends with.
    virtual FsResult<std::string> Route(const std::string& path) { return path; }

    FileSystem& inner_;

private:
    template <class Call>
    auto On(const std::string& path, Call call) -> decltype(call(path)) {
        auto routed = Route(path);
        if (!routed.ok()) return routed.status();
        return call(routed.value());
    }
};

}  // namespace vocell::test
