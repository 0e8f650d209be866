#pragma once

// File > Import Boring Log: the boreholes of a ground-investigation data file, the chosen one's
// log as it will be imported, a soil code for each of its classifications, and which project
// values to replace. Nothing reaches the project before OK.

#include "import/LogBuilder.h"

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTableWidget;

namespace zenka {

class CPelbrinDoc;
class GuiShell;

class CImportDlg : public QDialog {
    Q_OBJECT
public:
    // projectUnits: the project's `units`; a project whose system was never chosen takes the
    // file's.
    CImportDlg(const dataimport::DataFile& file, const std::string& path, int projectUnits,
               QWidget* parent = nullptr);

    // The log as the dialog shows it now; ready when OK is enabled.
    const dataimport::BuiltLog& log() const { return log_; }
    // The ticked project values.
    dataimport::ApplyFlags flags() const;
    const dataimport::Borehole* borehole() const { return borehole_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitPreviewTitle();
    // The parts of the dialog, each with the controls it holds.
    QLabel* makeFileLabel(const std::string& path);
    QGroupBox* makeBoreholeBox(const std::vector<dataimport::BoreholeSummary>& summaries);
    QGroupBox* makeClassificationBox();
    QGroupBox* makePreviewBox();
    QGroupBox* makeOptionsBox();
    QGroupBox* makeKeepBox();
    QGroupBox* makeReplaceBox();
    QGroupBox* makeProblemBox();
    QHBoxLayout* makeButtonRow();
    void connectChoices();

    void chooseBorehole(int index);
    void fillClassifications();
    void rebuild();
    void fillPreview();
    void fillProblems();
    void updateReplaceBoxes(bool toDefaults);
    QString lengthText(double value) const;

    const dataimport::DataFile& file_;
    int projectUnits_;
    const dataimport::Borehole* borehole_ = nullptr;
    std::vector<dataimport::ClassificationRow> rows_;
    dataimport::ImportChoices choices_;
    dataimport::BuiltLog log_;
    bool building_ = false;
    QString unitWord_; // of the log's depths, "?" until known

    QTableWidget* boreholes_ = nullptr;
    QGroupBox* previewBox_ = nullptr;
    QString previewTitle_; // whole; the box shows as much as its width holds
    bool previewLaidOut_ = false;
    QTableWidget* preview_ = nullptr;
    QTableWidget* classes_ = nullptr;
    QLineEdit* hammer_ = nullptr;
    QLabel* hammerSummary_ = nullptr;
    QLabel* elevationLabel_ = nullptr;
    QLineEdit* elevation_ = nullptr;
    QLabel* unitLabel_ = nullptr;
    QComboBox* depthUnit_ = nullptr;
    QGroupBox* keepBox_ = nullptr;
    QRadioButton* keepFirst_ = nullptr;
    QRadioButton* keepDownTo_ = nullptr;
    QLineEdit* keepDepth_ = nullptr;
    QCheckBox* replaceLog_ = nullptr;
    QCheckBox* replaceElevation_ = nullptr;
    QCheckBox* replaceWater_ = nullptr;
    QCheckBox* replaceIdentification_ = nullptr;
    QListWidget* problems_ = nullptr;
    QLabel* status_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// Texts of the file longer than the form's fields are cut to the field's length, each cut told
// among the log's messages: the form never gets a value it would refuse.
void fitTextsToFields(dataimport::BuiltLog& log);

// Asks for a data file, shows the import dialog on it and writes what the engineer accepts into
// the project. True when the project was changed.
bool ImportBoringLog(CPelbrinDoc& doc, GuiShell& shell, QWidget* parent);

} // namespace zenka
