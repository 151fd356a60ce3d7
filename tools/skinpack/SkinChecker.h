#pragma once
// Checks a skin folder before it is packed, reading every layout (*.xml) with
// the installer's own markup reader: a layout the installer could not read is
// an error; a tag no control class answers to, and a file name (image or
// included layout) the skin does not hold, are warnings, since the installer
// skips such elements and draws nothing for such images.
#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

class XmlDocument;

struct SkinFinding {
    bool error = false;
    std::string file;  // the layout's path as found on disk
    size_t line = 0;   // from 1; 0 when the finding is about the whole folder
    std::string message;
    // "error: FILE:LINE: MESSAGE" or "warning: FILE:LINE: MESSAGE".
    std::string Text() const;
};

class SkinChecker {
  public:
    // Checks every layout under `root`. False when there was an error (the
    // folder unreadable or empty, no layouts, a layout not well-formed).
    bool Check(const std::filesystem::path& root);

    const std::vector<SkinFinding>& findings() const { return findings_; }
    size_t layoutCount() const { return layouts_; }

  private:
    bool CollectNames(const std::filesystem::path& root);
    void CheckLayout(const std::filesystem::path& file);
    void ReportMarkupError(const XmlDocument& doc);
    void CheckElements(XmlDocument& doc, int depth);
    void CheckInclude(const XmlDocument& doc);
    void CheckAttributes(const XmlDocument& doc);
    void CheckName(const std::wstring& attribute, const std::wstring& name, const char* kind,
                   size_t line);
    size_t LineAt(size_t offset) const;
    void Add(bool error, size_t line, const std::string& message);

    std::set<std::u16string> names_;  // the package's entry names
    std::vector<SkinFinding> findings_;
    std::string file_;                // the layout being checked
    std::vector<size_t> lineStarts_;  // of the layout being checked
    size_t layouts_ = 0;
};
