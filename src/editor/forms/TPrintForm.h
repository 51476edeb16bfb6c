#pragma once
// The project listing: the menu tree as text, with the actions when asked,
// to print or to save as a document.

#include <QDialog>
#include <QPrinter>
#include <memory>
#include <string>

#include "editor/ProjectModel.h"

namespace Ui {
class TPrintForm;
}
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

class TPrintForm : public QDialog {
    Q_OBJECT

  public:
    TPrintForm(ui::WindowContext& context, const ProjectModel& model, std::string projectName,
               QWidget* parent = nullptr);
    ~TPrintForm() override;

    // The printer Print uses; it keeps the user's choices while the
    // dialog is open.
    QPrinter& Printer() { return printer_; }

  private:
    void ApplyTexts();
    void Repaint_BClick();
    void Font_BClick();
    void Print_BClick();
    void Save_BClick();

    std::unique_ptr<Ui::TPrintForm> ui_;
    ui::WindowContext& context_;
    const ProjectModel& model_;
    std::string projectName_;
    QPrinter printer_;
};

}  // namespace orbik::editor
