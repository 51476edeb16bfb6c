#pragma once
// "Parallel Output": WriteParallelIF lines for the eight outputs. Each OK
// adds one line; the window stays open until Close and answers with the
// lines in the order they were made.

#include <QDialog>
#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

struct ParallelResult {
    std::vector<std::string> lines;
};

class TParallelForm : public QDialog {
    Q_OBJECT

  public:
    explicit TParallelForm(const ui::WindowContext& context, QWidget* parent = nullptr);

    ParallelResult Result() const { return {lines_}; }
    // Closing the window in any way keeps the lines already made.
    void reject() override { accept(); }

  private:
    void CB_OutMaskClick(int output);
    void Ok_BClick();

    std::array<QCheckBox*, 8> masks_{};
    std::array<QComboBox*, 8> values_{};
    QPushButton* ok_;
    std::vector<std::string> lines_;
};

}  // namespace orbik::editor
