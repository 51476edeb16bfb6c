#include "editor/forms/TPrintForm.h"

#include <QFontDatabase>
#include <QIODevice>
#include <QTextDocumentWriter>

#include "editor/Listing.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "project/ProjectLayout.h"
#include "ui/Desktop.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"
#include "ui_TPrintForm.h"

namespace orbik::editor {

namespace {

// The rich-text filter first: it is what the listing has always been saved as.
constexpr const char* kRtfFilter = "Rich Text (*.rtf)";
constexpr const char* kOdfFilter = "OpenDocument Text (*.odt)";

struct Caption {
    const char* control;
    const char* defaultText;
};
constexpr Caption kCaptions[] = {
    {"CB_Add", "Add Actions"}, {"Repaint_B", "Refresh"},   {"Font_B", "Font"},
    {"Print_B", "Print"},      {"Save_B", "Save To File"}, {"Button1", "Close"},
};

}  // namespace

TPrintForm::TPrintForm(ui::WindowContext& context, const ProjectModel& model,
                       std::string projectName, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TPrintForm>()),
      context_(context),
      model_(model),
      projectName_(std::move(projectName)),
      printer_(QPrinter::HighResolution) {
    ui_->setupUi(this);
    setObjectName("PrintForm");
    // The listing lines up its columns with blanks.
    ui_->RichEdit1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    printer_.setDocName(ui::FromCp1252(projectName_));
    connect(ui_->Repaint_B, &QPushButton::clicked, this, &TPrintForm::Repaint_BClick);
    connect(ui_->Font_B, &QPushButton::clicked, this, &TPrintForm::Font_BClick);
    connect(ui_->Print_B, &QPushButton::clicked, this, &TPrintForm::Print_BClick);
    connect(ui_->Save_B, &QPushButton::clicked, this, &TPrintForm::Save_BClick);
    connect(ui_->Button1, &QPushButton::clicked, this, &QDialog::reject);
    ApplyTexts();
    ui::KeepGeometry(*this);
    Repaint_BClick();
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::ApplyTexts() {
    ui::UiTexts text(context_.settings);
    setWindowTitle(text("PrintForm", "Print"));
    for (const Caption& c : kCaptions)
        findChild<QAbstractButton*>(c.control)->setText(
            text(std::string("PRF_") + c.control, c.defaultText));
    ui::AssignAccessKeys(*this);
}

void TPrintForm::Repaint_BClick() {
    auto lines = ListingLines(model_, projectName_, context_.today(), ui_->CB_Add->isChecked());
    QStringList text;
    for (const auto& line : lines) text << ui::FromCp1252(line);
    ui_->RichEdit1->setPlainText(text.join('\n'));
}

void TPrintForm::Font_BClick() {
    if (auto font = context_.dialogs.ChooseFont(this, windowTitle(), ui_->RichEdit1->font())) {
        ui_->RichEdit1->setFont(*font);
        ui_->RichEdit1->document()->setDefaultFont(*font);
    }
}

void TPrintForm::Print_BClick() {
    if (!context_.dialogs.ChoosePrinter(this, printer_)) return;
    ui::BusyCursor busy;
    ui_->RichEdit1->document()->print(&printer_);
}

void TPrintForm::Save_BClick() {
    QString name = context_.dialogs.SaveFileName(
        this, ui_->Save_B->text().remove('&'),
        ui::QStringFromPath(project::ProjectDir(context_.settings.ProjectsDir(), projectName_)),
        QString(kRtfFilter) + ";;" + kOdfFilter, "rtf");
    if (name.isEmpty()) return;
    const std::filesystem::path path = ui::PathFromQString(name);
    std::string error;
    bool saved = false;
    if (name.endsWith(".odt", Qt::CaseInsensitive)) {
        QTextDocumentWriter writer(name, "ODF");
        saved = writer.write(ui_->RichEdit1->document());
        if (!saved)
            error =
                platform::PathToMessage(path) + ": " + ui::ToCp1252(writer.device()->errorString());
    } else {
        QStringList lines = ui_->RichEdit1->toPlainText().split('\n');
        std::vector<std::string> bytes;
        for (const QString& line : lines) bytes.push_back(ui::ToCp1252(line));
        const QFont font = ui_->RichEdit1->font();
        saved = platform::WriteFileAtomic(
            path, ListingRtf(bytes, ui::ToCp1252(font.family()), font.pointSize()), &error);
    }
    if (!saved) context_.dialogs.Warn(this, windowTitle(), ui::FromCp1252(error));
}

}  // namespace orbik::editor
