#include "editor/ProjectHistory.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <system_error>
#include <vector>

#include "platform/Text.h"

namespace orbik::editor {

namespace {

// What lies at a path of a tree; a link with its target.
struct Node {
    enum class Kind { Directory, File, Link, Other } kind;
    fs::path target;
    bool operator==(const Node&) const = default;
};
// Relative path -> node; a folder sorts before what it holds.
using Tree = std::map<fs::path, Node>;

bool Fail(std::string* error, const fs::path& path, const std::error_code& ec) {
    if (error) *error = platform::PathToMessage(path) + ": " + ec.message();
    return false;
}

// Every entry below `root`, never following a link, leaving out the
// ignored folders and what they hold.
bool List(const fs::path& root, const std::vector<fs::path>& ignored, Tree* tree,
          std::string* error) {
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::none, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (std::find(ignored.begin(), ignored.end(), path.lexically_relative(root)) !=
            ignored.end()) {
            it.disable_recursion_pending();
            continue;
        }
        fs::file_status status = it->symlink_status(ec);
        if (ec) return Fail(error, path, ec);
        Node node{Node::Kind::Other, {}};
        if (fs::is_symlink(status)) {
            node = {Node::Kind::Link, fs::read_symlink(path, ec)};
            if (ec) return Fail(error, path, ec);
        } else if (fs::is_directory(status)) {
            node.kind = Node::Kind::Directory;
        } else if (fs::is_regular_file(status)) {
            node.kind = Node::Kind::File;
        }
        (*tree)[path.lexically_relative(root)] = node;
    }
    return ec ? Fail(error, root, ec) : true;
}

bool SameBytes(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
    char x[65536], y[65536];
    while (left && right) {
        left.read(x, sizeof x);
        right.read(y, sizeof y);
        if (left.gcount() != right.gcount() ||
            !std::equal(x, x + left.gcount(), y, y + right.gcount()))
            return false;
    }
    return left.eof() && right.eof();
}

bool SameTree(const fs::path& a, const fs::path& b, const std::vector<fs::path>& ignored) {
    Tree left, right;
    if (!List(a, ignored, &left, nullptr) || !List(b, ignored, &right, nullptr) || left != right)
        return false;
    for (const auto& [path, node] : left)
        if (node.kind == Node::Kind::File && !SameBytes(a / path, b / path)) return false;
    return true;
}

// Puts one node of `from` at `to`. A file equal to `like` becomes a second
// link to it, so that unchanged files cost no space in the history.
bool Place(const fs::path& from, const Node& node, const fs::path& to, const fs::path& like,
           std::string* error) {
    std::error_code ec;
    switch (node.kind) {
        case Node::Kind::Directory:
            fs::create_directory(to, from, ec);
            break;
        case Node::Kind::Link:
            fs::copy_symlink(from, to, ec);
            break;
        case Node::Kind::File:
            if (!like.empty() && fs::is_regular_file(fs::symlink_status(like, ec)) &&
                SameBytes(like, from)) {
                fs::create_hard_link(like, to, ec);
                if (!ec) return true;
            }
            ec.clear();
            fs::copy_file(from, to, ec);
            break;
        case Node::Kind::Other:  // sockets and pipes are no project files
            break;
    }
    return ec ? Fail(error, to, ec) : true;
}

// Makes `target` hold exactly what `source` holds, the ignored folders
// aside.
bool Restore(const fs::path& source, const fs::path& target, const std::vector<fs::path>& ignored,
             std::string* error) {
    Tree want, have;
    if (!List(source, ignored, &want, error) || !List(target, ignored, &have, error)) return false;
    std::error_code ec;
    // What is not wanted, or is something else now, goes; what a folder
    // holds goes before the folder.
    std::vector<fs::path> unwanted;
    for (auto it = have.rbegin(); it != have.rend(); ++it) {
        auto wanted = want.find(it->first);
        if (wanted == want.end() || !(wanted->second == it->second)) unwanted.push_back(it->first);
    }
    for (const fs::path& path : unwanted) {
        if (!fs::remove(target / path, ec) && ec) return Fail(error, target / path, ec);
        have.erase(path);
    }
    for (const auto& [path, node] : want) {
        auto present = have.find(path);
        if (present != have.end() &&
            (node.kind != Node::Kind::File || SameBytes(source / path, target / path)))
            continue;
        // A changed file is replaced, never written through: it may be a
        // link the project shares with another folder.
        if (present != have.end() && !fs::remove(target / path, ec) && ec)
            return Fail(error, target / path, ec);
        if (!Place(source / path, node, target / path, {}, error)) return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<ProjectHistory> ProjectHistory::Create(const fs::path& projectDir,
                                                       const fs::path& tempRoot, std::string* error,
                                                       std::size_t steps) {
    std::error_code ec;
    fs::path project = fs::weakly_canonical(projectDir, ec);
    fs::path root = fs::weakly_canonical(tempRoot, ec);
    if (ec) {
        Fail(error, tempRoot, ec);
        return nullptr;
    }
    // A history inside the project would copy itself.
    auto [p, r] = std::mismatch(project.begin(), project.end(), root.begin(), root.end());
    if (p == project.end()) {
        if (error) *error = platform::PathToMessage(tempRoot) + ": lies inside the project";
        return nullptr;
    }
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path folder = root / ("orbik-history-" + std::to_string(random()));
        if (fs::create_directory(folder, ec))
            return std::unique_ptr<ProjectHistory>(new ProjectHistory(project, folder, steps));
        if (ec) break;
    }
    Fail(error, root, ec ? ec : std::make_error_code(std::errc::file_exists));
    return nullptr;
}

ProjectHistory::ProjectHistory(fs::path projectDir, fs::path folder, std::size_t steps)
    : projectDir_(std::move(projectDir)), folder_(std::move(folder)), steps_(steps) {}

ProjectHistory::~ProjectHistory() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

bool ProjectHistory::Take(fs::path* snapshot, std::string* error) {
    *snapshot = folder_ / std::to_string(++taken_);
    Tree tree;
    std::error_code ec;
    bool ok = List(projectDir_, ignored_, &tree, error);
    if (ok && !fs::create_directory(*snapshot, projectDir_, ec)) ok = Fail(error, *snapshot, ec);
    for (auto it = tree.begin(); ok && it != tree.end(); ++it)
        ok = Place(projectDir_ / it->first, it->second, *snapshot / it->first,
                   latest_.empty() ? fs::path() : latest_ / it->first, error);
    if (!ok) {
        fs::remove_all(*snapshot, ec);
        return false;
    }
    latest_ = *snapshot;
    return true;
}

void ProjectHistory::Drop(const fs::path& snapshot) {
    std::error_code ec;
    fs::remove_all(snapshot, ec);
    if (snapshot == latest_) latest_.clear();
}

bool ProjectHistory::BeginChange(std::string* error) {
    if (open_) return true;
    fs::path snapshot;
    if (!Take(&snapshot, error)) return false;
    open_ = true;
    undo_.push_back(snapshot);
    return true;
}

void ProjectHistory::EndChange() {
    if (!open_) return;
    open_ = false;
    if (SameTree(undo_.back(), projectDir_, ignored_)) {
        Drop(undo_.back());
        undo_.pop_back();
        return;
    }
    // A new change: what was undone cannot come back.
    for (const auto& snapshot : redo_) Drop(snapshot);
    redo_.clear();
    while (undo_.size() > steps_) {
        Drop(undo_.front());
        undo_.pop_front();
    }
}

bool ProjectHistory::Step(std::deque<fs::path>& from, std::deque<fs::path>& to,
                          std::string* error) {
    EndChange();
    if (from.empty()) return false;
    fs::path current;
    if (!Take(&current, error)) return false;
    if (!Restore(from.back(), projectDir_, ignored_, error)) {
        Restore(current, projectDir_, ignored_, nullptr);
        Drop(current);
        return false;
    }
    Drop(from.back());
    from.pop_back();
    to.push_back(current);
    return true;
}

bool ProjectHistory::Undo(std::string* error) {
    return Step(undo_, redo_, error);
}

bool ProjectHistory::Redo(std::string* error) {
    return Step(redo_, undo_, error);
}

}  // namespace orbik::editor
