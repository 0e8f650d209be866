#include "forms/ImportDlg.h"

#include "forms/DataTables.h"
#include "forms/FieldText.h"
#include "forms/FormFields.h"

#include "base/AtomicFile.h"
#include "graphs/GuiShell.h"
#include "import/SoilClassification.h"
#include "model/PelbrinDoc.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFile>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zenka {

using namespace dataimport;

namespace {

QString qstr(const std::string& text) {
    return QString::fromStdString(text);
}

QString fixed(double value, int decimals = 2) {
    return QString::number(value, 'f', decimals);
}

QString withUnit(const std::optional<double>& value, LengthUnit unit) {
    if (!value) return QStringLiteral("-");
    return fixed(*value) + QLatin1Char(' ') + QString::fromLatin1(unitWord(unit));
}

// A number the engineer typed, or nothing when the field is blank or holds no number.
std::optional<double> typedNumber(const QLineEdit* edit) {
    bool ok = false;
    const double v = edit->text().trimmed().toDouble(&ok);
    if (!ok) return std::nullopt;
    return v;
}

} // namespace

CImportDlg::CImportDlg(const DataFile& file, const std::string& path, int projectUnits,
                       QWidget* parent)
    : QDialog(parent), file_(file), projectUnits_(projectUnits) {
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(QStringLiteral("Import Boring Log"));
    const std::vector<BoreholeSummary> summaries = listBoreholes(file);

    // Widgets join the dialog in this order, which is the order Tab visits them.
    auto* layout = new QGridLayout(this);
    layout->addWidget(makeFileLabel(path), 0, 0, 1, 2);
    layout->addWidget(makeBoreholeBox(summaries), 1, 0);
    layout->addWidget(makeClassificationBox(), 1, 1);
    layout->addWidget(makePreviewBox(), 2, 0);
    layout->addWidget(makeOptionsBox(), 2, 1);
    layout->addWidget(makeProblemBox(), 3, 0, 1, 2);
    layout->addLayout(makeButtonRow(), 4, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 2);
    layout->setRowStretch(2, 4);
    layout->setRowStretch(3, 1);

    connectChoices();

    // The first borehole with a test to import is chosen to start with.
    int first = 0;
    for (int r = 0; r < static_cast<int>(summaries.size()); ++r)
        if (summaries[static_cast<std::size_t>(r)].sptTests > 0) {
            first = r;
            break;
        }
    if (!summaries.empty()) boreholes_->setCurrentCell(first, 0);

    fitToScreen(this, QSize(1240, 880));
}

QLabel* CImportDlg::makeFileLabel(const std::string& path) {
    auto* fileLabel = new QLabel;
    fileLabel->setObjectName(QStringLiteral("fileLabel"));
    // A deep folder shortens in the middle: the file's name stays readable.
    setElidedText(fileLabel,
                  QStringLiteral("%1 file %2: %3 borehole(s)")
                      .arg(QString::fromLatin1(formatName(file_.format)),
                           QFile::decodeName(QByteArray::fromStdString(path)))
                      .arg(file_.boreholes.size()),
                  fileLabel->fontMetrics().averageCharWidth() * 70, Qt::ElideMiddle);
    fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return fileLabel;
}

// Boreholes, in the file's units.
QGroupBox* CImportDlg::makeBoreholeBox(const std::vector<BoreholeSummary>& summaries) {
    boreholes_ =
        makeDataTable("boreholes", {QStringLiteral("Borehole"), QStringLiteral("Ground elevation"),
                                    QStringLiteral("Final depth"), QStringLiteral("SPT tests"),
                                    QStringLiteral("Water depth")});
    boreholes_->setRowCount(static_cast<int>(summaries.size()));
    for (int r = 0; r < static_cast<int>(summaries.size()); ++r) {
        const BoreholeSummary& s = summaries[static_cast<std::size_t>(r)];
        QString elevation = withUnit(s.groundElevation, s.elevationUnit);
        if (s.groundElevation && s.elevationUnit == LengthUnit::Unknown)
            elevation = fixed(*s.groundElevation) + QStringLiteral(" (no unit)");
        const QString tests = qstr(testCountText(s));
        boreholes_->setItem(r, 0, dataCell(qstr(s.name)));
        boreholes_->setItem(r, 1, dataCell(elevation, true));
        boreholes_->setItem(r, 2, dataCell(withUnit(s.finalDepth, s.depthUnit), true));
        boreholes_->setItem(r, 3, dataCell(tests, true));
        boreholes_->setItem(r, 4, dataCell(withUnit(s.waterDepth, s.depthUnit), true));
    }
    boreholes_->resizeColumnsToContents();
    limitIdColumn(boreholes_, 0, 16);
    boreholes_->horizontalHeader()->setStretchLastSection(true);
    auto* boreholeBox = new QGroupBox(QStringLiteral("Boreholes"));
    (new QVBoxLayout(boreholeBox))->addWidget(boreholes_);
    return boreholeBox;
}

// Classifications of the chosen borehole, each with its soil code.
QGroupBox* CImportDlg::makeClassificationBox() {
    classes_ =
        makeDataTable("classifications", {QStringLiteral("Classification"), QStringLiteral("Tests"),
                                          QStringLiteral("Proposed"), QStringLiteral("Soil code")});
    classes_->setSelectionMode(QAbstractItemView::NoSelection);
    auto* classBox = new QGroupBox(QStringLiteral("Soil codes"));
    (new QVBoxLayout(classBox))->addWidget(classes_);
    return classBox;
}

// The log as it will be imported.
QGroupBox* CImportDlg::makePreviewBox() {
    preview_ = makeDataTable("preview",
                             {QStringLiteral("Depth"), QStringLiteral("N"), QStringLiteral("Mark"),
                              QStringLiteral("Code"), QStringLiteral("Description")});
    preview_->setSelectionMode(QAbstractItemView::NoSelection);
    previewBox_ = new QGroupBox(QStringLiteral("Boring log"));
    previewBox_->setObjectName(QStringLiteral("previewBox"));
    previewBox_->installEventFilter(this);
    (new QVBoxLayout(previewBox_))->addWidget(preview_);
    return previewBox_;
}

// The hammer factor, what the file lacks (elevation, depth unit), which tests to keep and which
// project values to replace.
QGroupBox* CImportDlg::makeOptionsBox() {
    auto* options = new QGroupBox(QStringLiteral("Import"));
    auto* grid = new QGridLayout(options);
    hammer_ = new QLineEdit(QStringLiteral("1.0"));
    hammer_->setObjectName(QStringLiteral("hammerFactor"));
    auto* hammerCheck = new QDoubleValidator(0.01, 9.99, 3, hammer_);
    hammerCheck->setNotation(QDoubleValidator::StandardNotation);
    hammer_->setValidator(hammerCheck);
    hammer_->setMaximumWidth(hammer_->fontMetrics().horizontalAdvance(QStringLiteral("0.0000")) +
                             16);
    grid->addWidget(new QLabel(QStringLiteral("Hammer factor on N:")), 0, 0);
    grid->addWidget(hammer_, 0, 1, Qt::AlignLeft);
    hammerSummary_ = new QLabel;
    hammerSummary_->setObjectName(QStringLiteral("hammerSummary"));
    hammerSummary_->setWordWrap(true);
    grid->addWidget(hammerSummary_, 1, 0, 1, 2);

    elevationLabel_ = new QLabel;
    elevation_ = new QLineEdit;
    elevation_->setObjectName(QStringLiteral("groundElevation"));
    elevation_->setValidator(new QDoubleValidator(elevation_));
    elevation_->setPlaceholderText(QStringLiteral("keep the project's"));
    grid->addWidget(elevationLabel_, 2, 0);
    grid->addWidget(elevation_, 2, 1);

    unitLabel_ = new QLabel(QStringLiteral("Depths in the file are in:"));
    depthUnit_ = new QComboBox;
    depthUnit_->setObjectName(QStringLiteral("depthUnit"));
    depthUnit_->addItem(QStringLiteral("(choose)"), static_cast<int>(LengthUnit::Unknown));
    depthUnit_->addItem(QStringLiteral("feet"), static_cast<int>(LengthUnit::Feet));
    depthUnit_->addItem(QStringLiteral("metres"), static_cast<int>(LengthUnit::Metres));
    grid->addWidget(unitLabel_, 3, 0);
    grid->addWidget(depthUnit_, 3, 1);

    grid->addWidget(makeKeepBox(), 4, 0, 1, 2);
    grid->addWidget(makeReplaceBox(), 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    return options;
}

// Shown only for a borehole with more tests than the log holds.
QGroupBox* CImportDlg::makeKeepBox() {
    keepBox_ = new QGroupBox(QStringLiteral("More tests than the log holds (%1)").arg(kMaxSamples));
    auto* keepGrid = new QGridLayout(keepBox_);
    keepFirst_ = new QRadioButton(QStringLiteral("Keep the first %1").arg(kMaxSamples));
    keepFirst_->setObjectName(QStringLiteral("keepFirst"));
    keepFirst_->setChecked(true);
    keepDownTo_ = new QRadioButton(QStringLiteral("Keep those down to depth:"));
    keepDownTo_->setObjectName(QStringLiteral("keepDownTo"));
    keepDepth_ = new QLineEdit;
    keepDepth_->setObjectName(QStringLiteral("keepDepth"));
    keepDepth_->setValidator(new QDoubleValidator(0, 1e6, 2, keepDepth_));
    keepGrid->addWidget(keepFirst_, 0, 0, 1, 2);
    keepGrid->addWidget(keepDownTo_, 1, 0);
    keepGrid->addWidget(keepDepth_, 1, 1);
    return keepBox_;
}

QGroupBox* CImportDlg::makeReplaceBox() {
    auto* replace = new QGroupBox(QStringLiteral("Replace in the project"));
    auto* replaceLayout = new QVBoxLayout(replace);
    replaceLog_ = new QCheckBox(QStringLiteral("Boring log"));
    replaceLog_->setObjectName(QStringLiteral("replaceLog"));
    replaceLog_->setChecked(true);
    replaceLog_->setEnabled(false); // importing is replacing the log
    replaceElevation_ = new QCheckBox;
    replaceElevation_->setObjectName(QStringLiteral("replaceElevation"));
    replaceWater_ = new QCheckBox;
    replaceWater_->setObjectName(QStringLiteral("replaceWater"));
    replaceIdentification_ = new QCheckBox;
    replaceIdentification_->setObjectName(QStringLiteral("replaceIdentification"));
    for (QCheckBox* b : {replaceLog_, replaceElevation_, replaceWater_, replaceIdentification_})
        replaceLayout->addWidget(b);
    return replace;
}

QGroupBox* CImportDlg::makeProblemBox() {
    problems_ = new QListWidget;
    problems_->setObjectName(QStringLiteral("problems"));
    problems_->setWordWrap(true);
    auto* problemBox = new QGroupBox(QStringLiteral("Found in the file"));
    (new QVBoxLayout(problemBox))->addWidget(problems_);
    return problemBox;
}

QHBoxLayout* CImportDlg::makeButtonRow() {
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(buttons_);
    return bottom;
}

// Every choice the engineer makes rebuilds the log shown.
void CImportDlg::connectChoices() {
    connect(boreholes_, &QTableWidget::currentCellChanged, this,
            [this](int row) { chooseBorehole(row); });
    connect(hammer_, &QLineEdit::textChanged, this, [this] {
        if (hammer_->hasAcceptableInput()) rebuild();
    });
    connect(elevation_, &QLineEdit::textChanged, this, [this] { rebuild(); });
    connect(depthUnit_, &QComboBox::currentIndexChanged, this, [this] { rebuild(); });
    connect(keepFirst_, &QRadioButton::toggled, this, [this] { rebuild(); });
    connect(keepDepth_, &QLineEdit::textChanged, this, [this] {
        if (!keepDownTo_->isChecked()) keepDownTo_->setChecked(true);
        rebuild();
    });
}

ApplyFlags CImportDlg::flags() const {
    ApplyFlags f;
    f.groundElevation = replaceElevation_->isEnabled() && replaceElevation_->isChecked();
    f.waterTable = replaceWater_->isEnabled() && replaceWater_->isChecked();
    f.identification = replaceIdentification_->isEnabled() && replaceIdentification_->isChecked();
    return f;
}

QString CImportDlg::lengthText(double value) const {
    return fixed(value) +
           (log_.units == Units::English ? QStringLiteral(" ft") : QStringLiteral(" m"));
}

void CImportDlg::chooseBorehole(int index) {
    if (index < 0 || index >= static_cast<int>(file_.boreholes.size())) return;
    borehole_ = &file_.boreholes[static_cast<std::size_t>(index)];
    const Borehole& b = *borehole_;
    const double hammer = choices_.hammerFactor;
    choices_ = proposedChoices(b);
    choices_.hammerFactor = hammer;
    rows_ = classifications(b);

    building_ = true;
    elevation_->clear();
    const bool usableElevation = b.groundElevation && b.elevationUnit != LengthUnit::Unknown;
    elevationLabel_->setVisible(!usableElevation);
    elevation_->setVisible(!usableElevation);
    unitLabel_->setVisible(b.depthUnit == LengthUnit::Unknown);
    depthUnit_->setVisible(b.depthUnit == LengthUnit::Unknown);
    keepFirst_->setChecked(true);
    keepDepth_->clear();
    int tests = 0;
    for (const SptTest& t : b.tests)
        if (t.n) ++tests;
    keepBox_->setVisible(tests > kMaxSamples);
    fillClassifications();
    building_ = false;

    rebuild();
    updateReplaceBoxes(true);
}

void CImportDlg::fillClassifications() {
    classes_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const ClassificationRow& row = rows_[static_cast<std::size_t>(r)];
        QString text = qstr(row.text);
        if (row.noStratum) text = QStringLiteral("(tests in no stratum)");
        if (!row.legendText.empty()) text += QStringLiteral(": ") + qstr(row.legendText);
        QTableWidgetItem* item = dataCell(text);
        if (!row.description.empty() && row.description != row.text)
            item->setToolTip(qstr(row.description));
        classes_->setItem(r, 0, item);
        classes_->setItem(r, 1, dataCell(QString::number(row.tests), true));
        classes_->setItem(r, 2, dataCell(soilCodeText(row.proposedCode)));

        const auto chosen = choices_.codes.find(row.text);
        auto* combo = soilCodeCombo(chosen == choices_.codes.end() ? 0 : chosen->second);
        combo->setObjectName(QStringLiteral("code%1").arg(r));
        const std::string key = row.text;
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, key] {
            const int code = combo->currentData().toInt();
            if (code)
                choices_.codes[key] = code;
            else
                choices_.codes.erase(key);
            rebuild();
        });
        classes_->setCellWidget(r, 3, combo);
    }
    // The code boxes are the choice to make: whole, as wide as their names. The proposal beside
    // them gives way (its tool tip holds it whole).
    classes_->resizeColumnsToContents();
    classes_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    tabThroughCellWidgets(classes_, 3);
}

void CImportDlg::rebuild() {
    if (building_ || !borehole_) return;
    bool ok = false;
    const double hammer = hammer_->text().toDouble(&ok);
    if (ok && hammer_->hasAcceptableInput()) choices_.hammerFactor = hammer;
    choices_.depthUnit = static_cast<LengthUnit>(depthUnit_->currentData().toInt());
    choices_.groundElevation.reset();
    if (!elevation_->isHidden()) choices_.groundElevation = typedNumber(elevation_);
    choices_.keepDownTo.reset();
    if (!keepBox_->isHidden() && keepDownTo_->isChecked()) {
        choices_.keepDownTo = typedNumber(keepDepth_);
        if (!choices_.keepDownTo) choices_.keepDownTo = 0.0; // nothing kept until a depth is given
    }

    log_ = buildLog(file_, *borehole_, choices_, projectUnits_);
    fitTextsToFields(log_);

    // Until the depth unit is known the depths are the file's bare numbers.
    const bool unitKnown =
        borehole_->depthUnit != LengthUnit::Unknown || choices_.depthUnit != LengthUnit::Unknown;
    const bool feet = log_.units == Units::English;
    const QString unit = !unitKnown ? QStringLiteral("?")
                         : feet     ? QStringLiteral("ft")
                                    : QStringLiteral("m");
    elevationLabel_->setText(QStringLiteral("Ground elevation (%1):").arg(unit));
    keepDownTo_->setText(QStringLiteral("Keep those down to depth (%1):").arg(unit));
    const QString depths =
        !unitKnown ? QStringLiteral("depth unit not chosen yet")
                   : QStringLiteral("depths in %1%2")
                         .arg(feet ? QStringLiteral("feet") : QStringLiteral("metres"),
                              projectUnits_ == Units::NotChosen ? QStringLiteral(" (the file's)")
                                                                : QString());
    // A long borehole name is shortened in the middle, and the title cut to the box's width
    // (it would otherwise widen the dialog past the screen); the tool tip shows it whole.
    const QString title = QStringLiteral("Boring log of %1: %2 of %3 tests, %4");
    const QFontMetrics metrics = previewBox_->fontMetrics();
    const auto titled = [&](const QString& name) {
        return title.arg(name).arg(log_.testsKept).arg(log_.testsWithN).arg(depths);
    };
    previewTitle_ = titled(metrics.elidedText(qstr(borehole_->name), Qt::ElideMiddle,
                                              metrics.averageCharWidth() * 24));
    previewBox_->setToolTip(titled(qstr(borehole_->name)));
    fitPreviewTitle();
    unitWord_ = unit;
    hammerSummary_->setText(qstr(log_.hammerSummary));
    fillPreview();
    fillProblems();
    updateReplaceBoxes(false);

    QString status;
    if (log_.ready) {
        status = QStringLiteral("Ready: %1 entries and the closing entry.")
                     .arg(static_cast<int>(log_.entries.size()) - 1);
    } else if (!log_.missingCodes.empty()) {
        status = QStringLiteral("Choose a soil code for every classification in use (%1 without).")
                     .arg(log_.missingCodes.size());
    } else {
        status = log_.messages.empty() ? QStringLiteral("The log is not complete.")
                                       : qstr(log_.messages.front());
    }
    status_->setText(status);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(log_.ready);
}

void CImportDlg::fillPreview() {
    preview_->setRowCount(static_cast<int>(log_.entries.size()));
    for (int r = 0; r < static_cast<int>(log_.entries.size()); ++r) {
        const LogEntry& e = log_.entries[static_cast<std::size_t>(r)];
        QString mark = QString::fromLatin1(entryMark(e));
        if (e.closing) mark = QStringLiteral("end of log");
        if (e.surface) mark = QStringLiteral("added at surface");
        if (e.statedN && *e.statedN != e.n && !e.closing)
            mark += (mark.isEmpty() ? QString() : QStringLiteral(", ")) +
                    QStringLiteral("file N %1").arg(*e.statedN);
        QString code = e.code ? QString::number(e.code) : QStringLiteral("-");
        if (e.closing) code = QStringLiteral("0");
        QString description = qstr(e.description);
        if (e.classification == kNoStratum && !e.closing)
            description = QStringLiteral("(in no stratum)");
        preview_->setItem(r, 0, dataCell(fixed(e.depth), true));
        preview_->setItem(r, 1, dataCell(fixed(e.closing ? 0.0 : e.n), true));
        preview_->setItem(r, 2, dataCell(mark));
        preview_->setItem(r, 3, dataCell(code, true));
        auto* d = dataCell(description);
        d->setToolTip(description);
        preview_->setItem(r, 4, d);
        if (!e.closing && e.code == 0)
            for (int c = 0; c < 5; ++c)
                preview_->item(r, c)->setForeground(QApplication::palette().color(QPalette::Link));
    }
    preview_->setHorizontalHeaderItem(
        0, new QTableWidgetItem(QStringLiteral("Depth (%1)").arg(unitWord_)));
    // Long descriptions are cut short on the right (their tool tip holds all) rather than
    // pushing the numbers out of sight.
    preview_->resizeColumnsToContents();
    preview_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
}

void CImportDlg::fillProblems() {
    problems_->clear();
    auto add = [this](const QString& text, bool strong) {
        auto* item = new QListWidgetItem(text, problems_);
        if (strong) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
    };
    for (const std::string& m : log_.messages) add(qstr(m), true);
    // The chosen borehole's problems first, then the file's, then the other boreholes'.
    for (const Problem& p : file_.problems)
        if (p.borehole == borehole_->name) add(qstr(p.borehole + ": " + p.message), false);
    for (const Problem& p : file_.problems)
        if (p.borehole.empty()) add(qstr(p.message), false);
    for (const Problem& p : file_.problems)
        if (!p.borehole.empty() && p.borehole != borehole_->name)
            add(qstr(p.borehole + ": " + p.message), false);
    if (problems_->count() == 0) add(QStringLiteral("Nothing to report."), false);
}

void CImportDlg::fitPreviewTitle() {
    const QFontMetrics metrics = previewBox_->fontMetrics();
    // Before the first layout the box has no width of its own yet.
    const int room = previewLaidOut_ ? previewBox_->width() - 4 * metrics.averageCharWidth()
                                     : 52 * metrics.averageCharWidth();
    previewBox_->setTitle(metrics.elidedText(previewTitle_, Qt::ElideRight,
                                             std::max(room, 20 * metrics.averageCharWidth())));
}

bool CImportDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == previewBox_ && event->type() == QEvent::Resize) {
        previewLaidOut_ = true;
        fitPreviewTitle();
    }
    return QDialog::eventFilter(watched, event);
}

void CImportDlg::updateReplaceBoxes(bool toDefaults) {
    const ApplyFlags has = defaultFlags(log_);
    // File texts can be long: the boxes keep a width the dialog can hold.
    const int room = replaceElevation_->fontMetrics().averageCharWidth() * 44;
    setElidedText(
        replaceElevation_,
        log_.groundElevation
            ? QStringLiteral("Ground elevation: %1").arg(lengthText(*log_.groundElevation))
            : QStringLiteral("Ground elevation (none to import)"),
        room);
    setElidedText(replaceWater_,
                  log_.waterTable
                      ? QStringLiteral("Water table: %1").arg(lengthText(*log_.waterTable))
                      : QStringLiteral("Water table (none in the file)"),
                  room);
    QStringList ids;
    for (const std::string* s :
         {&log_.boringNumber, &log_.projectNumber, &log_.jobName, &log_.boringDate})
        if (!s->empty()) ids << qstr(*s);
    setElidedText(replaceIdentification_,
                  ids.isEmpty() ? QStringLiteral("Identification (none in the file)")
                                : QStringLiteral("Boring number, project, job, date: ") +
                                      ids.join(QStringLiteral(", ")),
                  room);
    const std::pair<QCheckBox*, bool> boxes[] = {{replaceElevation_, has.groundElevation},
                                                 {replaceWater_, has.waterTable},
                                                 {replaceIdentification_, has.identification}};
    for (const auto& [box, present] : boxes) {
        // A value that appears (an elevation typed in) is ticked; the engineer's untick stays.
        if (toDefaults || (present && !box->isEnabled())) box->setChecked(present);
        box->setEnabled(present);
    }
}

void fitTextsToFields(BuiltLog& log) {
    const std::pair<std::string*, const char*> texts[] = {{&log.boringNumber, "boringNumber"},
                                                          {&log.projectNumber, "projectNumber"},
                                                          {&log.jobName, "jobName"},
                                                          {&log.boringDate, "boringDate"}};
    for (const auto& [text, control] : texts) {
        const FormField* field = formField(control);
        const auto max = static_cast<std::size_t>(field->maxChars);
        if (text->size() <= max) continue;
        log.messages.push_back(std::string(field->label) + " has " + std::to_string(text->size()) +
                               " characters, the field holds " + std::to_string(max) +
                               ": cut to \"" + text->substr(0, max) + "\".");
        text->resize(max);
    }
}

bool ImportBoringLog(CPelbrinDoc& doc, GuiShell& shell, QWidget* parent) {
    const auto opened = openDataFile(shell);
    if (!opened) return false;
    const auto& [path, file] = *opened;
    CImportDlg dialog(file, path, doc.units, parent);
    if (shell.runDialog(dialog) != QDialog::Accepted) return false;
    std::string why;
    if (!applyLog(dialog.log(), doc, dialog.flags(), &why)) {
        shell.showMessage(why, MessageKind::Warning);
        return false;
    }
    return true;
}

} // namespace zenka
