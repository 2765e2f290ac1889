#pragma once

#include "foundation/file_store.h"

namespace pellorin {

class Win32Files : public FileStore {
public:
    Win32Files();
    std::string programFolder() override { return programFolder_; }
    bool setCurrentDirectory(const std::string& folder) override;
    bool exists(const std::string& path) override;
    std::optional<std::string> readAll(const std::string& path) override;
    WriteResult replaceContent(const std::string& path, const std::string& bytes) override;
    bool setNormalAttributes(const std::string& path) override;

private:
    std::string programFolder_;  // the executable does not move while it runs
};

}  // namespace pellorin
