#pragma once

// The main form: every project value except the boring log. It copies its controls into the
// project as they are edited (the store step) and reloads them on every project changed notice
// (the load step); it shows only the fields of the chosen pile shape and analysis type, in the
// captions of the chosen unit system.

#include "forms/FormFields.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace zenka {

class CPelbrinDoc;
class GuiShell;
class ProjectHistory;

class CPelbrinView : public QWidget {
    Q_OBJECT
public:
    CPelbrinView(CPelbrinDoc& doc, GuiShell& shell, QWidget* parent = nullptr);
    ~CPelbrinView() override;

    // Start-up, once the form is in its window: finds the size of the largest layout by laying
    // out every one, then hides what a layout can show.
    void prepareLayouts();

    // Controls into the form values, in the fixed order with each field's check. Every field is
    // read; one that fails keeps its previous value. The first failure is told, naming its
    // field, and gets the focus.
    bool readControls();
    // Form values into the controls.
    void writeControls();
    // Read the controls, then copy the form values into the project whatever the outcome; a
    // value that changes there marks the project modified.
    void storeStep();
    // Project into the form values and the controls, then both layouts.
    void loadStep();
    // Visibility of the pile data for the checked shape; writes the shape into the project.
    void shapeLayout();
    // Visibility of the lengths for the checked analysis type; writes it into the project.
    void analysisLayout();
    // After New: only the radios, the identification fields and the water table remain.
    void hideVariableControls();
    // Where typing starts when the program comes up: the project number.
    void focusFirstField();
    // The boring log editor, modal.
    void openBoringLog();

    // Where the form's changes of the project are kept as steps to undo; none: not kept.
    void setHistory(ProjectHistory* history) { history_ = history; }
    // Runs a change of the project as one step of the history (see ProjectHistory::record).
    void recordChange(const std::string& name, const std::function<void()>& change,
                      const std::string& group = {});

    const FormValues& values() const { return values_; }
    // The unit system whose captions the form shows.
    int shownUnits() const { return radioCode(kUnitRadios, values_.unitIndex); }
    // Big enough for every shape, analysis type and unit system; known after prepareLayouts.
    QSize fullSizeHint() const { return fullSize_; }

private:
    struct Caption {
        QLabel* english = nullptr;
        QLabel* metric = nullptr;
        void show(int units) const;
        void hide() const;
    };
    // A row of the field table with the controls it names.
    struct BoundField {
        const FormField* field;
        std::vector<QLineEdit*> edits; // text and number fields, numbered ones in their order
        QButtonGroup* radios = nullptr;
    };

    void buildControls();
    QWidget* buildUnitsBox();
    void buildIdentification(QVBoxLayout* column);
    QWidget* buildAnalysisBox();
    QWidget* buildPileBox();
    QWidget* buildPileData(QWidget* pileBox);
    QWidget* buildPipeTypeFrame();
    // A field that failed its check and why.
    struct Refusal {
        QLineEdit* edit = nullptr;
        std::string message;
    };
    void bindFields();
    bool readField(const BoundField& bound, Refusal& refusal);
    // Reads every control without a message; the first failure, if any.
    std::optional<Refusal> readAll();
    // The form values into the project; a value that changes there marks it modified.
    void storeValues();
    void writeField(const BoundField& bound);
    QLineEdit* makeText(const char* name);
    QLineEdit* makeNumber(const char* row, int number = 0);
    Caption caption(const char* english, const char* metric);
    void showShape(int pileShape, int units);
    void showAnalysis(int analysisType, int units);
    void unitClicked(int units);
    void pipeEndClicked(int pipeEndIndex);
    void edited();
    bool eventFilter(QObject* watched, QEvent* event) override;
    QSize measureFullSize();

    CPelbrinDoc& doc_;
    GuiShell& shell_;
    ProjectHistory* history_ = nullptr;
    int listenerId_ = 0;
    FormValues values_;
    QSize fullSize_;
    std::vector<BoundField> fields_; // in the order of reading

    // Text fields, in the order of reading.
    QLineEdit* projectNumber_ = nullptr;
    QLineEdit* jobName_ = nullptr;
    QLineEdit* engineer_ = nullptr;
    QLineEdit* boringDate_ = nullptr;
    QLineEdit* boringNumber_ = nullptr;
    QLineEdit* station_ = nullptr;
    QLineEdit* waterTable_ = nullptr;

    QButtonGroup* units_ = nullptr;
    QButtonGroup* analysis_ = nullptr;
    QButtonGroup* shapes_ = nullptr;
    QButtonGroup* pipeEnds_ = nullptr;

    QWidget* analysisBox_ = nullptr;
    QWidget* analysisRoom_ = nullptr;
    QWidget* lengthsFrame_ = nullptr;
    Caption lengthsHeading_;
    std::array<QLineEdit*, kDocLengths> lengths_{};
    std::array<QLabel*, kDocLengths> lengthNumbers_{};
    QWidget* rangeFrame_ = nullptr;
    QLineEdit* minLength_ = nullptr;
    QLineEdit* maxLength_ = nullptr;
    QLineEdit* lengthIncrement_ = nullptr;
    Caption minCaption_, maxCaption_, incrementCaption_;

    QWidget* pileDataFrame_ = nullptr;
    QLineEdit* unitWeight_ = nullptr;
    QLineEdit* groundElevation_ = nullptr;
    QLineEdit* pipeThickness_ = nullptr;
    QLineEdit* hPileDepth_ = nullptr;
    QLineEdit* hPileEndArea_ = nullptr;
    Caption unitWeightCaption_, groundCaption_, thicknessCaption_, hDepthCaption_, hAreaCaption_;
    QGroupBox* pipeTypeFrame_ = nullptr;
    QRadioButton* openEnd_ = nullptr;
    QRadioButton* closedEnd_ = nullptr;
    QWidget* widthsFrame_ = nullptr;
    Caption widthsHeading_;
    std::array<QLineEdit*, kDocWidths> widths_{};
    std::array<QLabel*, kDocWidths> widthNumbers_{};

    QPushButton* boringLog_ = nullptr;
    QWidget* leftColumn_ = nullptr;
    QWidget* rightColumn_ = nullptr;
};

} // namespace zenka
