#pragma once
// "RF Files": picks a radio signal from the library files of the RF folder
// (one tab per file) and makes its action lines. Each OK adds the chosen
// signal; the window stays open until Close and answers with every line
// made, in order.

#include <QDialog>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/RfLibrary.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

struct RfFilesResult {
    std::vector<std::string> lines;
};

class TRFFilesForm : public QDialog {
    Q_OBJECT

  public:
    TRFFilesForm(const ui::WindowContext& context, std::filesystem::path folder,
                 QWidget* parent = nullptr);

    RfFilesResult Result() const { return {lines_}; }
    // Closing the window in any way keeps the lines already made.
    void reject() override { accept(); }

  private:
    void TC_RFFilesChange(int index);
    void Ok_BClick();
    void Update();

    const ui::WindowContext& context_;
    std::filesystem::path folder_;
    QTabBar* tabs_;
    QListWidget* signals_;
    QLineEdit* count_;
    QPushButton* ok_;
    std::vector<RfSignal> loaded_;
    std::vector<std::string> lines_;
};

}  // namespace orbik::editor
