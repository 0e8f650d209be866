#include "forms/PelbrinView.h"

#include "forms/BoreSheet.h"
#include "forms/FieldText.h"
#include "graphs/GuiShell.h"
#include "model/PelbrinDoc.h"
#include "model/ProjectHistory.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

#include <cctype>
#include <initializer_list>
#include <type_traits>
#include <variant>

namespace zenka {

namespace {

// Texts are single-byte in the project file: Latin-1 keeps every byte as it was read.
QString fromDocText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toDocText(const QString& text) {
    return text.toLatin1().toStdString();
}

// Limits typing to the field's length and to characters the project file can hold. A longer
// text loaded from a file stays as it is until the user shortens it.
class TextLimit : public QValidator {
public:
    TextLimit(QLineEdit* edit, int maxChars) : QValidator(edit), max_(maxChars) {
        // The line edit changes its text before it asks; remember the length it had.
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& t) { length_ = t.size(); });
    }
    State validate(QString& input, int&) const override {
        for (const QChar c : input)
            if (c.unicode() > 0xFF) return Invalid;
        if (input.size() > max_ && input.size() > length_) return Invalid;
        return Acceptable;
    }

private:
    int max_;
    qsizetype length_ = 0;
};

void setShown(std::initializer_list<QWidget*> widgets, bool shown) {
    for (QWidget* w : widgets) w->setVisible(shown);
}

void checkRadio(QButtonGroup* group, int index) {
    if (index >= 0 && group->button(index)) {
        group->button(index)->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
}

// One stop per radio group on the way round the form, on the checked button (the first when none
// is). Left alone, the toolkit stops on every button of a group until one has had the focus.
void tabStopOnChecked(QButtonGroup* group) {
    QAbstractButton* stop = group->checkedButton();
    if (!stop && !group->buttons().isEmpty()) stop = group->buttons().constFirst();
    for (QAbstractButton* b : group->buttons())
        b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

QFrame* panel(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return f;
}

} // namespace

void CPelbrinView::Caption::show(int units) const {
    english->setVisible(!Units::metric(units));
    metric->setVisible(Units::metric(units));
}

void CPelbrinView::Caption::hide() const {
    english->hide();
    metric->hide();
}

CPelbrinView::CPelbrinView(CPelbrinDoc& doc, GuiShell& shell, QWidget* parent)
    : QWidget(parent), doc_(doc), shell_(shell) {
    setObjectName(QStringLiteral("mainForm"));
    buildControls();
    bindFields();
    for (QButtonGroup* group : {units_, analysis_, shapes_, pipeEnds_}) {
        tabStopOnChecked(group);
        connect(group, &QButtonGroup::idToggled, this, [group] { tabStopOnChecked(group); });
    }
    listenerId_ = doc_.addChangedListener([this] { loadStep(); });
}

CPelbrinView::~CPelbrinView() {
    doc_.removeChangedListener(listenerId_);
}

QLineEdit* CPelbrinView::makeText(const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setValidator(new TextLimit(edit, formField(name)->maxChars));
    edit->setMinimumWidth(fontMetrics().averageCharWidth() * 32);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, &CPelbrinView::edited);
    return edit;
}

QLineEdit* CPelbrinView::makeNumber(const char* row, int number) {
    auto* edit = new QLineEdit(this);
    QString name = QString::fromLatin1(row);
    if (number > 0) name += QString::number(number);
    edit->setObjectName(name);
    edit->setFixedWidth(fontMetrics().averageCharWidth() * 12);
    edit->installEventFilter(this);
    const int offered = formField(row)->offered;
    if (offered == 0 || number <= offered)
        connect(edit, &QLineEdit::textEdited, this, &CPelbrinView::edited);
    return edit;
}

CPelbrinView::Caption CPelbrinView::caption(const char* english, const char* metric) {
    return {new QLabel(QString::fromLatin1(english), this),
            new QLabel(QString::fromLatin1(metric), this)};
}

void CPelbrinView::buildControls() {
    auto* columns = new QHBoxLayout(this);
    leftColumn_ = new QWidget(this);
    rightColumn_ = new QWidget(this);
    auto* left = new QVBoxLayout(leftColumn_);
    auto* right = new QVBoxLayout(rightColumn_);
    left->setContentsMargins(0, 0, 0, 0);
    right->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(leftColumn_, 1);
    columns->addWidget(rightColumn_, 1);

    left->addWidget(buildUnitsBox());
    buildIdentification(left);
    left->addStretch(1);
    right->addWidget(buildAnalysisBox());
    right->addWidget(buildPileBox());
    right->addStretch(1);
}

// Units: English or Metric.
QWidget* CPelbrinView::buildUnitsBox() {
    auto* unitsBox = new QGroupBox(QStringLiteral("Measurement Units"), this);
    auto* unitRow = new QHBoxLayout(unitsBox);
    units_ = new QButtonGroup(this);
    units_->setObjectName(QStringLiteral("unitRadios"));
    auto* english = new QRadioButton(QStringLiteral("English Units"), unitsBox);
    auto* metric = new QRadioButton(QStringLiteral("Metric Units"), unitsBox);
    english->setObjectName(QStringLiteral("unitEnglish"));
    metric->setObjectName(QStringLiteral("unitMetric"));
    units_->addButton(english, 0);
    units_->addButton(metric, 1);
    unitRow->addWidget(english);
    unitRow->addWidget(metric);
    unitRow->addStretch();
    connect(english, &QRadioButton::clicked, this,
            [this] { recordChange("Unit Switch", [this] { unitClicked(Units::English); }); });
    connect(metric, &QRadioButton::clicked, this,
            [this] { recordChange("Unit Switch", [this] { unitClicked(Units::Metric); }); });
    return unitsBox;
}

// Project and boring identification, the water table, the button to the boring log.
void CPelbrinView::buildIdentification(QVBoxLayout* column) {
    auto* projectBox = new QGroupBox(QStringLiteral("Project Information"), this);
    auto* projectGrid = new QGridLayout(projectBox);
    projectNumber_ = makeText("projectNumber");
    jobName_ = makeText("jobName");
    engineer_ = makeText("engineer");
    projectGrid->addWidget(new QLabel(QStringLiteral("Project Number"), projectBox), 0, 0);
    projectGrid->addWidget(projectNumber_, 0, 1);
    projectGrid->addWidget(new QLabel(QStringLiteral("Job Name"), projectBox), 1, 0);
    projectGrid->addWidget(jobName_, 1, 1);
    projectGrid->addWidget(new QLabel(QStringLiteral("Submitting Engineer:"), projectBox), 2, 0);
    projectGrid->addWidget(engineer_, 2, 1);
    projectGrid->setColumnStretch(1, 1);
    column->addWidget(projectBox);

    auto* boringBox = new QGroupBox(QStringLiteral("Boring Information"), this);
    auto* boringGrid = new QGridLayout(boringBox);
    boringDate_ = makeText("boringDate");
    boringNumber_ = makeText("boringNumber");
    station_ = makeText("station");
    waterTable_ = makeNumber("waterTable");
    boringGrid->addWidget(new QLabel(QStringLiteral("Date of Boring:"), boringBox), 0, 0);
    boringGrid->addWidget(boringDate_, 0, 1, 1, 2);
    boringGrid->addWidget(new QLabel(QStringLiteral("Boring Number:"), boringBox), 1, 0);
    boringGrid->addWidget(boringNumber_, 1, 1, 1, 2);
    boringGrid->addWidget(new QLabel(QStringLiteral("Station Number and Offset:"), boringBox), 2,
                          0);
    boringGrid->addWidget(station_, 2, 1, 1, 2);
    // Signed, as the project holds it. No unit: a unit switch keeps the number as typed.
    auto* waterCaption = new QLabel(
        QStringLiteral("Water Table Height relative to Ground Surface\n(+ above, - below)"),
        boringBox);
    waterCaption->setObjectName(QStringLiteral("waterTableCaption"));
    waterCaption->setWordWrap(true);
    waterCaption->setBuddy(waterTable_);
    boringGrid->addWidget(waterCaption, 3, 0, 1, 2);
    boringGrid->addWidget(waterTable_, 3, 2, Qt::AlignRight);
    boringGrid->setColumnStretch(1, 1);
    column->addWidget(boringBox);

    boringLog_ = new QPushButton(QStringLiteral("Boring Log"), this);
    boringLog_->setObjectName(QStringLiteral("boringLog"));
    connect(boringLog_, &QPushButton::clicked, this, &CPelbrinView::openBoringLog);
    auto* logRow = new QHBoxLayout;
    logRow->addWidget(boringLog_);
    logRow->addStretch();
    column->addLayout(logRow);
}

// The analysis type with its specific lengths or range of lengths.
QWidget* CPelbrinView::buildAnalysisBox() {
    auto* analysisBox = new QGroupBox(QStringLiteral("Analysis Type"), this);
    analysisBox->setObjectName(QStringLiteral("analysisFrame"));
    auto* analysisColumn = new QVBoxLayout(analysisBox);
    auto* analysisRow = new QHBoxLayout;
    analysis_ = new QButtonGroup(this);
    analysis_->setObjectName(QStringLiteral("analysisRadios"));
    const char* analysisNames[] = {"analysisSpecific", "analysisRange"};
    const char* analysisTexts[] = {"Specific Pile Length", "Range of Pile Lengths"};
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(QString::fromLatin1(analysisTexts[i]), analysisBox);
        r->setObjectName(QString::fromLatin1(analysisNames[i]));
        analysis_->addButton(r, i);
        analysisRow->addWidget(r);
        connect(r, &QRadioButton::clicked, this,
                [this] { recordChange("Analysis Type", [this] { analysisLayout(); }); });
    }
    analysisRow->addStretch();
    analysisColumn->addLayout(analysisRow);

    lengthsFrame_ = panel(analysisBox, "lengthsFrame");
    auto* lengthsGrid = new QGridLayout(lengthsFrame_);
    lengthsHeading_ = caption("Pile Lengths (ft)", "Pile Lengths (m)");
    lengthsGrid->addWidget(lengthsHeading_.english, 0, 0, 1, 10);
    lengthsGrid->addWidget(lengthsHeading_.metric, 0, 0, 1, 10);
    for (int i = 0; i < kDocLengths; ++i) {
        auto* edit = makeNumber("length", i + 1);
        auto* number = new QLabel(QString::number(i + 1), lengthsFrame_);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lengths_[static_cast<std::size_t>(i)] = edit;
        lengthNumbers_[static_cast<std::size_t>(i)] = number;
        const int row = 1 + i / 5;
        const int col = (i % 5) * 2;
        lengthsGrid->addWidget(number, row, col);
        lengthsGrid->addWidget(edit, row, col + 1);
    }
    analysisColumn->addWidget(lengthsFrame_);

    rangeFrame_ = panel(analysisBox, "rangeFrame");
    auto* rangeGrid = new QGridLayout(rangeFrame_);
    minLength_ = makeNumber("minLength");
    maxLength_ = makeNumber("maxLength");
    lengthIncrement_ = makeNumber("lengthIncrement");
    minCaption_ = caption("Minimum Pile Length (ft)", "Minimum Pile Length (m)");
    maxCaption_ = caption("Maximum Pile Length (ft)", "Maximum Pile Length (m)");
    incrementCaption_ = caption("Pile Length Increment (ft)", "Pile Length Increment (m)");
    const Caption* rangeCaptions[] = {&minCaption_, &maxCaption_, &incrementCaption_};
    QLineEdit* rangeEdits[] = {minLength_, maxLength_, lengthIncrement_};
    for (int i = 0; i < 3; ++i) {
        rangeGrid->addWidget(rangeCaptions[i]->english, i, 0);
        rangeGrid->addWidget(rangeCaptions[i]->metric, i, 0);
        rangeGrid->addWidget(rangeEdits[i], i, 1);
    }
    rangeGrid->setColumnStretch(0, 1);
    analysisColumn->addWidget(rangeFrame_);
    // The frame grows with the lengths it shows; the room it can take is kept below it, so the
    // pile data never moves when an analysis type is picked.
    analysisRoom_ = new QWidget(this);
    auto* room = new QVBoxLayout(analysisRoom_);
    room->setContentsMargins(0, 0, 0, 0);
    room->addWidget(analysisBox);
    room->addStretch(1);
    analysisBox_ = analysisBox;
    return analysisRoom_;
}

// The pile's shape, its data, the pipe's end and the widths.
QWidget* CPelbrinView::buildPileBox() {
    auto* pileBox = new QGroupBox(QStringLiteral("Pile Data"), this);
    pileBox->setObjectName(QStringLiteral("pileFrame"));
    auto* pileColumn = new QVBoxLayout(pileBox);
    auto* shapeGrid = new QGridLayout;
    shapes_ = new QButtonGroup(this);
    shapes_->setObjectName(QStringLiteral("shapeRadios"));
    for (int i = 0; i < kPileShapeCount; ++i) {
        const PileShapeInfo& shape = kPileShapes[i];
        auto* r = new QRadioButton(QString::fromLatin1(shape.label), pileBox);
        r->setObjectName(QString::fromLatin1(shape.objectName));
        shapes_->addButton(r, i);
        shapeGrid->addWidget(r, i % 2, i / 2);
        connect(r, &QRadioButton::clicked, this,
                [this] { recordChange("Pile Type", [this] { shapeLayout(); }); });
    }
    pileColumn->addLayout(shapeGrid);

    pileColumn->addWidget(buildPileData(pileBox));
    return pileBox;
}

// The values of the pile and the site, the fields of each shape, the widths.
QWidget* CPelbrinView::buildPileData(QWidget* pileBox) {
    pileDataFrame_ = new QWidget(pileBox);
    pileDataFrame_->setObjectName(QStringLiteral("pileDataFrame"));
    auto* dataColumn = new QVBoxLayout(pileDataFrame_);
    dataColumn->setContentsMargins(0, 0, 0, 0);
    auto* dataGrid = new QGridLayout;
    unitWeight_ = makeNumber("unitWeight");
    groundElevation_ = makeNumber("groundElevation");
    pipeThickness_ = makeNumber("pipeThickness");
    hPileDepth_ = makeNumber("hPileDepth");
    hPileEndArea_ = makeNumber("hPileEndArea");
    unitWeightCaption_ = caption("Unit Weight (lb/ft3)", "Unit Weight (kN/m3)");
    groundCaption_ = caption("Ground Surface Elevation (ft)", "Ground Surface Elevation (m)");
    thicknessCaption_ = caption("Thickness of Pipe Pile (in)", "Thickness of Pipe Pile (mm)");
    hDepthCaption_ = caption("Depth of H Pile Section (in)", "Depth of H Pile Section (mm)");
    hAreaCaption_ = caption("True End Area of H Pile (in2)", "True End Area of H Pile (mm2)");
    const Caption* dataCaptions[] = {&unitWeightCaption_, &groundCaption_, &thicknessCaption_,
                                     &hDepthCaption_, &hAreaCaption_};
    QLineEdit* dataEdits[] = {unitWeight_, groundElevation_, pipeThickness_, hPileDepth_,
                              hPileEndArea_};
    // Fields of different shapes share rows: the wall thickness (pipe, cylinder) that of the
    // H-section depth, the pipe type (pipe) that of the H-pile end area. Hidden rows keep their
    // room, so the fields below stay where they are.
    const int dataRows[] = {0, 1, 2, 2, 3};
    for (int i = 0; i < 5; ++i) {
        for (QWidget* w : {static_cast<QWidget*>(dataCaptions[i]->english),
                           static_cast<QWidget*>(dataCaptions[i]->metric),
                           static_cast<QWidget*>(dataEdits[i])}) {
            QSizePolicy keep = w->sizePolicy();
            keep.setRetainSizeWhenHidden(true);
            w->setSizePolicy(keep);
        }
        const Qt::Alignment top = dataRows[i] == 3 ? Qt::AlignTop : Qt::Alignment();
        // As tall as the field, so the caption stays level with it at the top of the row.
        dataCaptions[i]->english->setMinimumHeight(dataEdits[i]->sizeHint().height());
        dataCaptions[i]->metric->setMinimumHeight(dataEdits[i]->sizeHint().height());
        dataGrid->addWidget(dataCaptions[i]->english, dataRows[i], 0, top);
        dataGrid->addWidget(dataCaptions[i]->metric, dataRows[i], 0, top);
        dataGrid->addWidget(dataEdits[i], dataRows[i], 1, top);
    }
    dataGrid->setColumnStretch(0, 1);
    dataColumn->addLayout(dataGrid);

    dataGrid->addWidget(buildPipeTypeFrame(), 3, 0, 1, 2);

    widthsFrame_ = panel(pileDataFrame_, "widthsFrame");
    auto* widthsGrid = new QGridLayout(widthsFrame_);
    widthsHeading_ = caption("Pile Widths (in)", "Pile Widths (mm)");
    widthsGrid->addWidget(widthsHeading_.english, 0, 0, 1, 10);
    widthsGrid->addWidget(widthsHeading_.metric, 0, 0, 1, 10);
    for (int i = 0; i < kDocWidths; ++i) {
        auto* edit = makeNumber("width", i + 1);
        auto* number = new QLabel(QString::number(i + 1), widthsFrame_);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        widths_[static_cast<std::size_t>(i)] = edit;
        widthNumbers_[static_cast<std::size_t>(i)] = number;
        widthsGrid->addWidget(number, 1, i * 2);
        widthsGrid->addWidget(edit, 1, i * 2 + 1);
    }
    dataColumn->addWidget(widthsFrame_);
    return pileDataFrame_;
}

// Open or closed end, for pipe piles.
QWidget* CPelbrinView::buildPipeTypeFrame() {
    pipeTypeFrame_ = new QGroupBox(QStringLiteral("Type of Pipe Pile"), pileDataFrame_);
    pipeTypeFrame_->setObjectName(QStringLiteral("pipeTypeFrame"));
    auto* pipeRow = new QHBoxLayout(pipeTypeFrame_);
    pipeEnds_ = new QButtonGroup(this);
    pipeEnds_->setObjectName(QStringLiteral("pipeEndRadios"));
    openEnd_ = new QRadioButton(QStringLiteral("Open End"), pipeTypeFrame_);
    closedEnd_ = new QRadioButton(QStringLiteral("Closed End"), pipeTypeFrame_);
    openEnd_->setObjectName(QStringLiteral("pipeOpen"));
    closedEnd_->setObjectName(QStringLiteral("pipeClosed"));
    pipeEnds_->addButton(openEnd_, 0);
    pipeEnds_->addButton(closedEnd_, 1);
    pipeRow->addWidget(openEnd_);
    pipeRow->addWidget(closedEnd_);
    pipeRow->addStretch();
    connect(openEnd_, &QRadioButton::clicked, this,
            [this] { recordChange("Type of Pipe Pile", [this] { pipeEndClicked(0); }); });
    connect(closedEnd_, &QRadioButton::clicked, this,
            [this] { recordChange("Type of Pipe Pile", [this] { pipeEndClicked(1); }); });
    for (QWidget* w : {static_cast<QWidget*>(pipeTypeFrame_), static_cast<QWidget*>(openEnd_),
                       static_cast<QWidget*>(closedEnd_)}) {
        QSizePolicy keep = w->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        w->setSizePolicy(keep);
    }
    return pipeTypeFrame_;
}

void CPelbrinView::bindFields() {
    for (const FormField& f : kFormFields) {
        BoundField bound{&f, {}};
        const QString name = QString::fromLatin1(f.control);
        std::visit(
            [&](auto member) {
                using T = std::remove_reference_t<decltype(values_.*member)>;
                if constexpr (std::is_same_v<T, int>) {
                    bound.radios = findChild<QButtonGroup*>(name);
                } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, double>) {
                    bound.edits.push_back(findChild<QLineEdit*>(name));
                } else {
                    for (std::size_t i = 1; i <= std::tuple_size_v<T>; ++i)
                        bound.edits.push_back(findChild<QLineEdit*>(name + QString::number(i)));
                }
            },
            f.value);
        fields_.push_back(std::move(bound));
    }
}

bool CPelbrinView::readField(const BoundField& bound, Refusal& refusal) {
    const FormField& f = *bound.field;
    const auto refuse = [&](QLineEdit* edit, std::size_t number, const std::string& message) {
        std::string label = f.label;
        if (bound.edits.size() > 1) label += " " + std::to_string(number + 1);
        refusal = {edit, namedFieldMessage(label, message)};
        return false;
    };
    const auto readNumber = [&](std::size_t i, double& value) {
        QLineEdit* edit = bound.edits[i];
        const auto number = parseNumber(edit->text().toStdString());
        if (!number) return refuse(edit, i, kEnterNumber);
        if (f.high && (*number < 0 || *number > *f.high))
            return refuse(edit, i, numberRangeMessage(0, *f.high));
        value = *number;
        return true;
    };
    return std::visit(
        [&](auto member) {
            auto& value = values_.*member;
            using T = std::remove_reference_t<decltype(value)>;
            if constexpr (std::is_same_v<T, int>) {
                // A pipe end has no "none": nothing checked (a new project) keeps the form's.
                const int checked = bound.radios->checkedId();
                if (checked >= 0 || f.conversion != Conversion::PipeEndRadio) value = checked;
                return true;
            } else if constexpr (std::is_same_v<T, std::string>) {
                const QString text = bound.edits.front()->text();
                if (text.size() > f.maxChars)
                    return refuse(bound.edits.front(), 0, maxCharsMessage(f.maxChars));
                value = toDocText(text);
                return true;
            } else if constexpr (std::is_same_v<T, double>) {
                return readNumber(0, value);
            } else {
                // Every control of the row is read: one refused keeps only its own value.
                bool all = true;
                for (std::size_t i = 0; i < value.size(); ++i) {
                    const Refusal first = refusal;
                    if (!readNumber(i, value[i])) {
                        if (!all) refusal = first;
                        all = false;
                    }
                }
                return all;
            }
        },
        f.value);
}

void CPelbrinView::writeField(const BoundField& bound) {
    std::visit(
        [&](auto member) {
            const auto& value = values_.*member;
            using T = std::remove_cvref_t<decltype(value)>;
            if constexpr (std::is_same_v<T, int>) {
                checkRadio(bound.radios, value);
            } else if constexpr (std::is_same_v<T, std::string>) {
                QLineEdit* edit = bound.edits.front();
                edit->setText(fromDocText(value));
                // A text longer than the box shows its beginning, not its end.
                if (!edit->hasFocus()) edit->setCursorPosition(0);
            } else if constexpr (std::is_same_v<T, double>) {
                bound.edits.front()->setText(numberText(value));
            } else {
                for (std::size_t i = 0; i < value.size(); ++i)
                    bound.edits[i]->setText(numberText(value[i]));
            }
        },
        bound.field->value);
}

std::optional<CPelbrinView::Refusal> CPelbrinView::readAll() {
    std::optional<Refusal> first;
    for (const BoundField& bound : fields_) {
        Refusal refusal;
        if (!readField(bound, refusal) && !first) first = refusal;
    }
    return first;
}

bool CPelbrinView::readControls() {
    const auto refusal = readAll();
    if (refusal) refuseField(shell_, refusal->edit, refusal->message);
    return !refusal;
}

void CPelbrinView::writeControls() {
    for (const BoundField& bound : fields_) writeField(bound);
}

void CPelbrinView::storeStep() {
    readControls();
    storeValues();
}

void CPelbrinView::storeValues() {
    const FormValues before = loadFormValues(doc_);
    storeFormValues(values_, doc_);
    // Lengths 11 to 20 have no edit handler of their own to mark the project.
    if (!(loadFormValues(doc_) == before)) doc_.SetModified(true);
}

void CPelbrinView::loadStep() {
    values_ = loadFormValues(doc_);
    writeControls();
    shapeLayout();
    analysisLayout();
}

void CPelbrinView::showShape(int shape, int unit) {
    const PileShapeInfo* info = pileShapeInfo(shape);
    if (!info) return;
    unitWeightCaption_.show(unit);
    groundCaption_.show(unit);
    widthsHeading_.show(unit);
    setShown({unitWeight_, groundElevation_, pileDataFrame_, widthsFrame_}, true);
    // An H-pile is analysed for one flange width.
    const bool h = info->hSection;
    const bool tube = info->hollow;
    for (std::size_t i = 0; i < widths_.size(); ++i)
        setShown({widths_[i], widthNumbers_[i]}, !h || i == 0);
    setShown({pipeThickness_}, tube);
    if (tube)
        thicknessCaption_.show(unit);
    else
        thicknessCaption_.hide();
    setShown({pipeTypeFrame_, openEnd_, closedEnd_}, info->pipeEnd);
    setShown({hPileDepth_, hPileEndArea_}, h);
    if (h) {
        hDepthCaption_.show(unit);
        hAreaCaption_.show(unit);
    } else {
        hDepthCaption_.hide();
        hAreaCaption_.hide();
    }
}

void CPelbrinView::showAnalysis(int analysis, int unit) {
    if (analysis == AnalysisType::SpecificLengths) {
        setShown({rangeFrame_, minLength_, maxLength_, lengthIncrement_}, false);
        minCaption_.hide();
        maxCaption_.hide();
        incrementCaption_.hide();
        lengthsFrame_->show();
        lengthsHeading_.show(unit);
        for (std::size_t i = 0; i < static_cast<std::size_t>(kOfferedLengths); ++i)
            setShown({lengths_[i], lengthNumbers_[i]}, true);
    } else if (analysis == AnalysisType::RangeOfLengths) {
        lengthsFrame_->hide();
        lengthsHeading_.hide();
        for (std::size_t i = 0; i < lengths_.size(); ++i)
            setShown({lengths_[i], lengthNumbers_[i]}, false);
        setShown({rangeFrame_, minLength_, maxLength_, lengthIncrement_}, true);
        minCaption_.show(unit);
        maxCaption_.show(unit);
        incrementCaption_.show(unit);
    }
}

void CPelbrinView::shapeLayout() {
    // Another field's refusal is told when that field is edited or a command reads the form.
    readAll();
    const int shape = radioCode(kShapeRadios, values_.shapeIndex);
    showShape(shape, shownUnits());
    doc_.pileShape = shape;
    doc_.SetModified(true);
}

void CPelbrinView::analysisLayout() {
    readAll();
    const int analysis = radioCode(kAnalysisRadios, values_.analysisIndex);
    showAnalysis(analysis, shownUnits());
    doc_.analysisType = analysis;
    doc_.SetModified(true);
}

void CPelbrinView::hideVariableControls() {
    setShown({pileDataFrame_, unitWeight_, groundElevation_, pipeThickness_, hPileDepth_,
              hPileEndArea_, pipeTypeFrame_, openEnd_, closedEnd_, widthsFrame_, lengthsFrame_,
              rangeFrame_, minLength_, maxLength_, lengthIncrement_},
             false);
    for (const Caption* c :
         {&unitWeightCaption_, &groundCaption_, &thicknessCaption_, &hDepthCaption_, &hAreaCaption_,
          &widthsHeading_, &lengthsHeading_, &minCaption_, &maxCaption_, &incrementCaption_})
        c->hide();
    for (std::size_t i = 0; i < widths_.size(); ++i)
        setShown({widths_[i], widthNumbers_[i]}, false);
    for (std::size_t i = 0; i < lengths_.size(); ++i)
        setShown({lengths_[i], lengthNumbers_[i]}, false);
}

void CPelbrinView::prepareLayouts() {
    fullSize_ = measureFullSize();
    hideVariableControls();
}

QSize CPelbrinView::measureFullSize() {
    QSize size;
    int rightWidth = 0;
    int analysisHeight = 0;
    for (const int unit : kUnitRadios) {
        for (const int shape : kShapeRadios) {
            for (const int analysis : kAnalysisRadios) {
                hideVariableControls();
                showShape(shape, unit);
                showAnalysis(analysis, unit);
                // Nothing is shown yet, so no layout has heard of the changes.
                for (QWidget* w : findChildren<QWidget*>()) w->updateGeometry();
                for (QLayout* l : findChildren<QLayout*>()) l->invalidate();
                layout()->invalidate();
                size = size.expandedTo(layout()->totalSizeHint());
                rightWidth = qMax(rightWidth, rightColumn_->sizeHint().width());
                analysisHeight = qMax(analysisHeight, analysisBox_->sizeHint().height());
            }
        }
    }
    analysisRoom_->setMinimumHeight(analysisHeight);
    // The columns keep their widths whatever the layouts show, so nothing moves sideways.
    rightColumn_->setMinimumWidth(rightWidth);
    leftColumn_->setMinimumWidth(size.width() - rightWidth - layout()->spacing() -
                                 layout()->contentsMargins().left() -
                                 layout()->contentsMargins().right());
    setMinimumSize(size);
    return size;
}

void CPelbrinView::unitClicked(int units) {
    readAll();
    storeValues();
    doc_.SetModified(true);
    if (units == Units::English && doc_.units == Units::Metric) doc_.ConvertUnits(0);
    if (units == Units::Metric && doc_.units == Units::English) doc_.ConvertUnits(1);
    doc_.units = units;
    writeControls();
    // The first choice on a new project converts nothing, so no reload relabels the form.
    showShape(radioCode(kShapeRadios, values_.shapeIndex), shownUnits());
    showAnalysis(radioCode(kAnalysisRadios, values_.analysisIndex), shownUnits());
}

void CPelbrinView::pipeEndClicked(int pipeEndIndex) {
    doc_.SetModified(true);
    values_.pipeEndIndex = pipeEndIndex;
    writeControls();
    readAll();
    storeValues();
}

void CPelbrinView::edited() {
    const auto* typed = qobject_cast<QLineEdit*>(sender());
    const auto store = [this, typed] {
        doc_.SetModified(true);
        // Only the field being typed in is told of; the others still reach the project. A sign
        // or a point typed first is a number on its way, told only if a command reads it so.
        const auto refusal = readAll();
        if (refusal && refusal->edit == typed && !numberUnderway(typed->text().toStdString()))
            refuseField(shell_, refusal->edit, refusal->message);
        storeValues();
    };
    if (!typed) return store();
    // One step per field typed in, whatever the number of keys.
    const std::string name = typed->objectName().toStdString();
    std::string rowName = name;
    while (!rowName.empty() && std::isdigit(static_cast<unsigned char>(rowName.back())))
        rowName.pop_back();
    const FormField* row = formField(rowName);
    std::string label = row ? row->label : name;
    if (row && rowName.size() < name.size()) label += " " + name.substr(rowName.size());
    recordChange("Typing in " + label, store, name);
}

void CPelbrinView::recordChange(const std::string& name, const std::function<void()>& change,
                                const std::string& group) {
    if (history_)
        history_->record(name, change, group);
    else
        change();
}

bool CPelbrinView::eventFilter(QObject* watched, QEvent* event) {
    // A field would take Ctrl+Z for its own few keys; here it undoes the project's steps, the
    // field's typing among them, from the Edit menu's keys.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination combo = key->keyCombination();
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
            combo == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CPelbrinView::focusFirstField() {
    projectNumber_->setFocus(Qt::OtherFocusReason);
}

void CPelbrinView::openBoringLog() {
    recordChange("Boring Log", [this] {
        CBoreSheet sheet(doc_, *this, shell_, window());
        shell_.runDialog(sheet);
    });
}

} // namespace zenka
