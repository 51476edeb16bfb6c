#pragma once
// Where a build reports: the progress window's two lines, the console, or
// a test. The build calls nothing else to tell the user anything.

#include <algorithm>
#include <string>

namespace orbik::compiler {

class BuildLog {
  public:
    virtual ~BuildLog() = default;
    // The lower line (L_Status) := label; the window repaints.
    virtual void BeginStep(const std::string& label) = 0;
    // Appends "." to the lower line; the window repaints.
    virtual void Tick() = 0;
    // The upper line (L_Status1) := the lower line + "ok".
    virtual void FinishStep() = 0;
    // The lower line := message; the build stops. The detail, when known,
    // is the system's reason (permission denied, disk full ...): shown
    // beside the message, never in place of it.
    virtual void Fail(const std::string& message, const std::string& detail = {}) = 0;
};

// Keeps the two lines as the progress window shows them; the base of the
// window, the console and the tests.
class StatusLines : public BuildLog {
  public:
    void BeginStep(const std::string& label) override {
        status_ = label;
        Changed();
    }
    void Tick() override {
        status_ += '.';
        Changed();
    }
    void FinishStep() override {
        finished_ = status_ + "ok";
        Changed();
    }
    void Fail(const std::string& message, const std::string& detail = {}) override {
        // Names come from project files; a NUL would cut the line short.
        status_ = message;
        std::replace(status_.begin(), status_.end(), '\0', '?');
        detail_ = detail;
        failed_ = true;
        Changed();
    }

    const std::string& Status() const { return status_; }      // L_Status
    const std::string& Finished() const { return finished_; }  // L_Status1
    const std::string& Detail() const { return detail_; }      // of the failure
    bool Failed() const { return failed_; }

  protected:
    // Called after every change of the two lines.
    virtual void Changed() {}

  private:
    std::string status_;
    std::string finished_;
    std::string detail_;
    bool failed_ = false;
};

}  // namespace orbik::compiler
