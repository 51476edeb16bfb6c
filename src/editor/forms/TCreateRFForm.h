#pragma once
// The RF file writer: collects radio signals made from entered timing
// values and writes them as a library file into the RF folder.

#include <QDialog>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/RfLibrary.h"

class QLineEdit;
class QListWidget;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

struct CreatedRfFiles {
    std::vector<std::filesystem::path> written;
};

class TCreateRFForm : public QDialog {
    Q_OBJECT

  public:
    explicit TCreateRFForm(const ui::WindowContext& context, QWidget* parent = nullptr);

    CreatedRfFiles Result() const { return {written_}; }
    // Closing the window in any way keeps what was written.
    void reject() override { accept(); }

  private:
    RfTiming Timing() const;
    void Add_BClick();
    void New_BClick();

    const ui::WindowContext& context_;
    std::vector<std::pair<std::string RfTiming::*, QLineEdit*>> fields_;
    QLineEdit* fileName_;
    QListWidget* list_;
    std::vector<RfTiming> signals_;
    std::vector<std::filesystem::path> written_;
};

}  // namespace orbik::editor
