#pragma once
// Removes what an install wrote, as named by the list the install left in its
// folder, and nothing else: files the user added stay, folders go only when
// empty, and no link or junction is ever followed out of the folder.
#include <string>
#include <vector>

class InstalledFileList {
  public:
    // One entry of the list: a path relative to the install folder.
    struct Entry {
        std::wstring path;
        bool folder = false;
    };

    // Parses the list's UTF-8 text: one relative path a line, folders ending
    // with a backslash. Lines that could climb out of the folder (absolute,
    // drive letters, "..", device names) are dropped.
    static std::vector<Entry> Parse(const std::string& text);

    // Removes the listed entries under `folder`, then the list file `listName`
    // and the folder itself when empty. False when the folder may not be
    // touched or holds no readable list; true when it no longer exists.
    bool Remove(const std::wstring& folder, const std::wstring& listName);

    int removed() const { return removed_; }
    // What was removed, for the log: full paths, a file in use with the
    // place it was moved aside to. The first few thousand are named.
    const std::vector<std::wstring>& removedNames() const { return removedNames_; }
    // What stays, each with the reason, for the log.
    const std::vector<std::wstring>& kept() const { return kept_; }

  private:
    bool ReachableWithoutLinks(const std::wstring& relative) const;
    void RemoveFile(const std::wstring& relative);
    void RemoveFolder(const std::wstring& relative);
    void ListWhatStays(const std::wstring& path, int depth);
    void Keep(const std::wstring& path, const wchar_t* reason);
    void Removed(const std::wstring& text);

    std::wstring root_;
    int removed_ = 0;
    std::vector<std::wstring> removedNames_;
    std::vector<std::wstring> kept_;
};
