// The data folder's digest.
#include "capture/data_digest.h"

#include "base/error.h"
#include "base/files.h"
#include "base/sha256.h"
#include "system/file_system.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

std::string DataFolderDigest()
{
    const fs::path folder = ResolvePath("Data");
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator entries(folder, error), end;
    for (; !error && entries != end; entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (!name.empty() && name[0] == '.') {
            if (entries->is_directory()) entries.disable_recursion_pending();
            continue;
        }
        if (entries->is_regular_file()) files.push_back(entries->path().lexically_relative(folder).generic_string());
    }
    if (error) ThrowFileError(folder.string(), "cannot list (" + error.message() + ")");
    std::sort(files.begin(), files.end());

    Sha256 digest;
    std::vector<char> buffer(1 << 20);
    for (const std::string& name : files) {
        // A real path already, below whatever data root was given: opened as it is, not
        // resolved below the root a second time.
        const std::string path = (folder / name).string();
        std::string fault;
        bool missing = false;
        const FilePtr file(OpenRegularFile(path, OpenFor::Reading, fault, missing));
        if (!file) ThrowFileError(path, fault);
        const std::string header = name + '\0' + std::to_string(FileSize(file.get(), path)) + '\0';
        digest.Add(header.data(), header.size());
        size_t read = 0;
        while ((read = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) digest.Add(buffer.data(), read);
        if (std::ferror(file.get())) ThrowFileError(path, "read error");
    }
    return digest.HexDigest();
}
