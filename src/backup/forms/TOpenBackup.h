#pragma once
// The backup window: opens a configuration or memory image, shows what the
// configuration in it holds and copies the first IR code file of a device
// type into the IR code library under a new name.

#include <QDialog>
#include <filesystem>
#include <memory>
#include <string>

#include "backup/Backup.h"

namespace Ui {
class TOpenBackup;
}
namespace orbik::ui {
class WindowContext;
}

namespace orbik::backup {

class TOpenBackup : public QDialog {
    Q_OBJECT

  public:
    explicit TOpenBackup(const ui::WindowContext& context, QWidget* parent = nullptr);
    ~TOpenBackup() override;

  private:
    void FormCreate();
    void ApplyTexts();
    void FillLibrary();
    void OpenFile(const QString& file);
    void ShowContents();
    void B_BrowseClick();
    void LB_FileDevicesClick();
    void E_NewNameChange();
    void UpdateCopy();
    void B_CopyClick();

    std::unique_ptr<Ui::TOpenBackup> ui_;
    const ui::WindowContext& context_;
    std::filesystem::path library_;
    std::string bytes_;  // the whole backup file, read once on Browse
    BackupContents contents_;
};

}  // namespace orbik::backup
