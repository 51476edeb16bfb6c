#pragma once
// The library of whole IR code files: rename, copy, delete, browse files
// into it, and add one to the device being edited.

#include <QDialog>
#include <string>
#include <vector>

#include "signals/IcpLibrary.h"
#include "signals/forms/SignalDialogs.h"

class QLineEdit;
class QListWidget;
class QPushButton;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::signals {

class TICPFilesForm : public QDialog {
    Q_OBJECT

  public:
    TICPFilesForm(ui::WindowContext& context, IcpFilesRequest request, QWidget* parent = nullptr);

    IcpFilesResult Result() const { return result_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Mode { Rename, Copy };
    void FillList(const std::string& select);
    void UpdateButtons();
    void OpenNameEntry(Mode mode);
    void CloseNameEntry();
    void E_newnameChange();
    void Ok_BClick();
    void Delete_BClick();
    void Browse_BClick();
    void Add_BClick();
    std::string Selected() const;
    void Tell(std::string_view text);
    bool Done(FileMove moved, const std::string& error);

    ui::WindowContext& context_;
    IcpFilesRequest request_;
    IcpFilesResult result_;
    Mode mode_ = Mode::Rename;
    std::vector<std::string> files_;
    QListWidget* LB_ICPFiles;
    QPushButton* Rename_B;
    QPushButton* Copy_B;
    QPushButton* Delete_B;
    QPushButton* Browse_B;
    QPushButton* Add_B;
    QPushButton* Cancel_B;
    QLineEdit* E_newname;
    QPushButton* Ok_B;
    QPushButton* Cancel2_B;
};

}  // namespace orbik::signals
