#pragma once
// A private folder "Fotrix-XXXXXX" under the temporary folder (made with
// mkdtemp, so no other user or show shares it), for the members of one show
// taken out one at a time. It holds only plain files, and it goes, with
// whatever is left in it, when the record does.
#include <string>

namespace fotrix {

class WorkingFolder {
public:
    WorkingFolder() = default;
    ~WorkingFolder() { remove(); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    bool make(const std::string& temporaryRoot);
    void remove();
    const std::string& path() const { return path_; }
    // `name` inside the folder (a plain name, checked by the caller).
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace fotrix
