#include "forms/SiteDlg.h"

#include "forms/DataTables.h"
#include "forms/FieldText.h"

#include "app/ExportCommands.h"
#include "base/AtomicFile.h"
#include "graphs/GuiShell.h"
#include "graphs/SitePdf.h"
#include "import/DataFormats.h"
#include "import/LogBuilder.h"
#include "model/PelbrinDoc.h"
#include "project/InputFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace zenka {

using namespace dataimport;

namespace {

QString qstr(const std::string& text) {
    return QString::fromStdString(text);
}

QString fixed(double value) {
    return QString::number(value, 'f', 2);
}

QString path(const std::string& p) {
    return QFile::decodeName(QByteArray::fromStdString(p));
}

} // namespace

CSiteDlg::CSiteDlg(const DataFile& file, const std::string& dataPath,
                   const std::string& templateBytes, const std::string& projectPath,
                   const std::string& projectTitle, GuiShell& shell, QWidget* parent)
    : QDialog(parent), file_(file), dataPath_(dataPath), templateBytes_(templateBytes),
      projectPath_(projectPath), shell_(shell) {
    setObjectName(QStringLiteral("siteDialog"));
    setWindowTitle(QStringLiteral("Site Summary"));
    CPelbrinDoc templ;
    templ.ResetProject();
    readInputFile(templateBytes_, templ);
    units_ = templ.units;
    const bool metric = Units::metric(units_);

    auto* layout = new QGridLayout(this);
    auto* fileLabel = new QLabel;
    fileLabel->setObjectName(QStringLiteral("fileLabel"));
    const int room = fileLabel->fontMetrics().averageCharWidth() * 100;
    setElidedText(fileLabel,
                  QStringLiteral("%1 file %2: %3 borehole(s)")
                      .arg(QString::fromLatin1(formatName(file.format)), path(dataPath))
                      .arg(file.boreholes.size()),
                  room, Qt::ElideMiddle);
    auto* templateLabel = new QLabel;
    templateLabel->setObjectName(QStringLiteral("templateLabel"));
    setElidedText(templateLabel,
                  QStringLiteral("Template: %1, the current project (its pile, widths, lengths "
                                 "and units)")
                      .arg(qstr(projectTitle)),
                  room);
    layout->addWidget(fileLabel, 0, 0, 1, 2);
    layout->addWidget(templateLabel, 1, 0, 1, 2);

    // Boreholes, ticked to analyse.
    boreholes_ =
        makeDataTable("boreholes", {QStringLiteral("Borehole"), QStringLiteral("Ground elevation"),
                                    QStringLiteral("SPT tests")});
    auto* boreholeBox = new QGroupBox(QStringLiteral("Boreholes"));
    auto* boreholeLayout = new QVBoxLayout(boreholeBox);
    boreholeLayout->addWidget(boreholes_);
    auto* checks = new QHBoxLayout;
    auto* withTests = new QPushButton(QStringLiteral("&All with tests"));
    withTests->setObjectName(QStringLiteral("checkWithTests"));
    auto* none = new QPushButton(QStringLiteral("&None"));
    none->setObjectName(QStringLiteral("checkNone"));
    checks->addWidget(withTests);
    checks->addWidget(none);
    checks->addStretch(1);
    boreholeLayout->addLayout(checks);
    connect(withTests, &QPushButton::clicked, this, [this] { checkAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { checkAll(false); });

    // The soil codes of every classification in the ticked boreholes.
    classes_ = makeDataTable("classifications",
                             {QStringLiteral("Classification"), QStringLiteral("Tests"),
                              QStringLiteral("What it is"), QStringLiteral("Soil code")});
    classes_->setSelectionMode(QAbstractItemView::NoSelection);
    auto* classBox = new QGroupBox(QStringLiteral("Soil codes of the ticked boreholes"));
    (new QVBoxLayout(classBox))->addWidget(classes_);
    layout->addWidget(boreholeBox, 2, 0);
    layout->addWidget(classBox, 2, 1);

    // The hammer factor and the required capacity.
    auto* designBox = new QGroupBox(QStringLiteral("Design"));
    auto* design = new QHBoxLayout(designBox);
    hammer_ = new QLineEdit(QStringLiteral("1.0"));
    hammer_->setObjectName(QStringLiteral("hammerFactor"));
    auto* hammerCheck = new QDoubleValidator(0.01, 10, 3, hammer_);
    hammerCheck->setNotation(QDoubleValidator::StandardNotation);
    hammer_->setValidator(hammerCheck);
    // Fixed: a dialog made small would otherwise squeeze them to a digit or two.
    hammer_->setFixedWidth(hammer_->fontMetrics().horizontalAdvance(QStringLiteral("00.0000")) +
                           16);
    useRequired_ = new QCheckBox(QStringLiteral("&Required capacity Q:"));
    useRequired_->setObjectName(QStringLiteral("useRequired"));
    useRequired_->setChecked(true);
    required_ = new QLineEdit;
    required_->setObjectName(QStringLiteral("required"));
    auto* qCheck = new QDoubleValidator(0.001, 1e9, 3, required_);
    qCheck->setNotation(QDoubleValidator::StandardNotation);
    required_->setValidator(qCheck);
    required_->setFixedWidth(required_->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 12 +
                             16);
    kind_ = new QComboBox;
    kind_->setObjectName(QStringLiteral("capacityKind"));
    kind_->addItem(QStringLiteral("allowable"), static_cast<int>(CapacityKind::Allowable));
    kind_->addItem(QStringLiteral("Davisson"), static_cast<int>(CapacityKind::Davisson));
    kind_->addItem(QStringLiteral("ultimate"), static_cast<int>(CapacityKind::Ultimate));
    auto* hammerLabel = new QLabel(QStringLiteral("&Hammer factor on N:"));
    hammerLabel->setBuddy(hammer_);
    design->addWidget(hammerLabel);
    design->addWidget(hammer_);
    design->addSpacing(16);
    design->addWidget(useRequired_);
    design->addWidget(required_);
    design->addWidget(new QLabel(metric ? QStringLiteral("kN of") : QStringLiteral("tons of")));
    design->addWidget(kind_);
    design->addWidget(new QLabel(QStringLiteral("capacity")));
    design->addStretch(1);
    layout->addWidget(designBox, 3, 0, 1, 2);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    save_ = new QPushButton(QStringLiteral("&Save PDF..."));
    save_->setObjectName(QStringLiteral("savePdf"));
    save_->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("close"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(save_);
    bottom->addWidget(close);
    layout->addLayout(bottom, 4, 0, 1, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    layout->setRowStretch(2, 1);
    connect(save_, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    fillBoreholes();
    connect(boreholes_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == 0) fillClassifications();
    });
    connect(hammer_, &QLineEdit::textChanged, this, [this] { updateState(); });
    connect(required_, &QLineEdit::textChanged, this, [this] { updateState(); });
    connect(useRequired_, &QCheckBox::toggled, this, [this](bool on) {
        required_->setEnabled(on);
        kind_->setEnabled(on);
        updateState();
    });
    fillClassifications();
    fitToScreen(this, QSize(1060, 700));
}

void CSiteDlg::fillBoreholes() {
    const std::vector<BoreholeSummary> summaries = listBoreholes(file_);
    filling_ = true;
    boreholes_->setRowCount(static_cast<int>(file_.boreholes.size()));
    for (int r = 0; r < static_cast<int>(file_.boreholes.size()); ++r) {
        const Borehole& b = file_.boreholes[static_cast<std::size_t>(r)];
        QTableWidgetItem* name = dataCell(qstr(b.name));
        name->setFlags(name->flags() | Qt::ItemIsUserCheckable);
        bool tests = false;
        for (const SptTest& t : b.tests) tests = tests || static_cast<bool>(t.n);
        name->setCheckState(tests ? Qt::Checked : Qt::Unchecked);
        boreholes_->setItem(r, 0, name);
        QString elevation = QStringLiteral("-");
        QString count = QStringLiteral("0");
        if (static_cast<std::size_t>(r) < summaries.size()) {
            const BoreholeSummary& s = summaries[static_cast<std::size_t>(r)];
            if (s.groundElevation)
                elevation = fixed(*s.groundElevation) + QLatin1Char(' ') +
                            (s.elevationUnit == LengthUnit::Unknown
                                 ? QStringLiteral("(no unit)")
                                 : QString::fromLatin1(unitWord(s.elevationUnit)));
            count = qstr(testCountText(s));
        }
        boreholes_->setItem(r, 1, dataCell(elevation, true));
        boreholes_->setItem(r, 2, dataCell(count, true));
    }
    filling_ = false;
    boreholes_->resizeColumnsToContents();
    limitIdColumn(boreholes_, 0, 16);
    boreholes_->horizontalHeader()->setStretchLastSection(true);
}

void CSiteDlg::checkAll(bool withTestsOnly) {
    filling_ = true;
    for (int r = 0; r < boreholes_->rowCount(); ++r) {
        const Borehole& b = file_.boreholes[static_cast<std::size_t>(r)];
        bool tests = false;
        for (const SptTest& t : b.tests) tests = tests || static_cast<bool>(t.n);
        boreholes_->item(r, 0)->setCheckState(withTestsOnly && tests ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
    fillClassifications();
}

std::vector<const Borehole*> CSiteDlg::chosen() const {
    std::vector<const Borehole*> out;
    for (int r = 0; r < boreholes_->rowCount(); ++r)
        if (boreholes_->item(r, 0)->checkState() == Qt::Checked)
            out.push_back(&file_.boreholes[static_cast<std::size_t>(r)]);
    return out;
}

SoilMap CSiteDlg::soilMap() const {
    SoilMap map;
    map.codes = codes_;
    return map;
}

std::optional<double> CSiteDlg::required() const {
    if (!useRequired_->isChecked() || !required_->hasAcceptableInput()) return std::nullopt;
    bool ok = false;
    const double q = required_->text().trimmed().toDouble(&ok);
    if (!ok || !(q > 0)) return std::nullopt;
    return q;
}

CapacityKind CSiteDlg::kind() const {
    return static_cast<CapacityKind>(kind_->currentData().toInt());
}

double CSiteDlg::hammerFactor() const {
    bool ok = false;
    const double f = hammer_->text().trimmed().toDouble(&ok);
    return ok && hammer_->hasAcceptableInput() ? f : 1.0;
}

void CSiteDlg::fillClassifications() {
    const std::vector<SiteClassification> rows = siteClassifications(chosen());
    classes_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const SiteClassification& row = rows[static_cast<std::size_t>(r)];
        // A classification met for the first time starts from its proposal; a choice made
        // stays while boreholes are ticked and unticked.
        if (!codes_.count(row.text) && row.proposal) codes_[row.text] = row.proposal;
        classes_->setItem(r, 0, dataCell(qstr(row.text)));
        classes_->setItem(r, 1, dataCell(QString::number(row.tests), true));
        classes_->setItem(r, 2, dataCell(qstr(row.what)));
        const auto chosenCode = codes_.find(row.text);
        QComboBox* combo = soilCodeCombo(chosenCode == codes_.end() ? 0 : chosenCode->second);
        combo->setObjectName(QStringLiteral("code%1").arg(r));
        const std::string key = row.text;
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, key] {
            const int code = combo->currentData().toInt();
            if (code)
                codes_[key] = code;
            else
                codes_.erase(key);
            updateState();
        });
        classes_->setCellWidget(r, 3, combo);
    }
    classes_->resizeColumnsToContents();
    // The description can be long: it gives way, the code stays whole.
    classes_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Interactive);
    classes_->setColumnWidth(
        2, std::min(classes_->columnWidth(2), classes_->fontMetrics().averageCharWidth() * 28));
    classes_->horizontalHeader()->setStretchLastSection(true);
    tabThroughCellWidgets(classes_, 3);
    updateState();
}

void CSiteDlg::updateState() {
    QString status;
    bool ready = true;
    const auto ticked = chosen();
    if (ticked.empty()) {
        status = QStringLiteral("Tick the boreholes to analyse.");
        ready = false;
    } else if (const auto missing = missingSoilCodes(file_, ticked, soilMap(), units_);
               !missing.empty()) {
        status = QStringLiteral("Choose a soil code for every classification in use (%1 "
                                "without).")
                     .arg(missing.size());
        ready = false;
    } else if (!hammer_->hasAcceptableInput()) {
        status = QStringLiteral("Enter a hammer factor between 0.01 and 10.");
        ready = false;
    } else if (useRequired_->isChecked() && !required()) {
        status = QStringLiteral("Enter the required capacity Q, or untick it for the charts "
                                "and tables alone.");
        ready = false;
    } else {
        status = QStringLiteral("Ready: %1 borehole(s).").arg(ticked.size());
    }
    if (!written_.empty() && ready)
        status += QStringLiteral(" Last written: %1").arg(path(written_));
    status_->setText(status);
    save_->setEnabled(ready);
}

bool CSiteDlg::savePdf() {
    const auto ticked = chosen();
    if (ticked.empty() || !save_->isEnabled()) return false;
    std::vector<RoleFile> inputs = {{"data file", dataPath_}};
    if (!projectPath_.empty()) inputs.push_back({"project", projectPath_});
    const std::optional<PdfChoice> choice =
        choosePdfFile(shell_, "Save the site summary as PDF", std::move(inputs));
    if (!choice) return false;

    SiteRequest request;
    request.dataFile = dataPath_;
    request.templateFile =
        projectPath_.empty() ? std::string("(the current project)") : projectPath_;
    request.templateBytes = templateBytes_;
    request.soilMap = soilMap();
    request.hammerFactor = hammerFactor();

    const int count = static_cast<int>(ticked.size());
    QProgressDialog progress(QStringLiteral("Analysing the boreholes..."), QStringLiteral("Cancel"),
                             0, count + 1, this);
    progress.setObjectName(QStringLiteral("siteProgress"));
    progress.setWindowTitle(QStringLiteral("Site Summary"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    SitePrint print;
    print.site = analyseSite(request, file_, ticked, [&](std::size_t done, std::size_t all) {
        progress.setLabelText(QStringLiteral("Analysing borehole %1 of %2: %3")
                                  .arg(done + 1)
                                  .arg(all)
                                  .arg(qstr(ticked[done]->name)));
        progress.setValue(static_cast<int>(done));
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    if (progress.wasCanceled()) {
        status_->setText(QStringLiteral("Cancelled: nothing was written."));
        return false;
    }
    if (print.site.boreholes.empty()) {
        progress.close();
        std::string why;
        if (!print.site.skipped.empty())
            why = " " + print.site.skipped.front().first + ": " + print.site.skipped.front().second;
        shell_.showMessage("No ticked borehole could be analysed on the project." + why,
                           MessageKind::Warning);
        return false;
    }
    // Drawing is short and cannot be stopped half-way: no Cancel that would do nothing.
    progress.setCancelButton(nullptr);
    progress.setLabelText(QStringLiteral("Drawing the PDF..."));
    progress.setValue(count);
    QApplication::processEvents();
    print.required = required();
    print.kind = kind();
    print.paper = choice->paper;
    print.stamp = runStampNow();
    const std::string failed = writeSitePdf(print, choice->path);
    progress.setValue(count + 1);
    if (!failed.empty()) {
        shell_.showMessage(failed, MessageKind::Warning);
        return false;
    }
    written_ = choice->path;
    updateState();
    if (!print.site.skipped.empty()) {
        std::string list;
        for (const auto& [name, why] : print.site.skipped) list += "\n" + name + ": " + why;
        shell_.showMessage(std::to_string(print.site.skipped.size()) +
                               " borehole(s) could not be analysed and are left out of " +
                               displayPath(choice->path) + ":" + list,
                           MessageKind::Information);
    }
    return true;
}

bool SiteSummary(CPelbrinDoc& doc, GuiShell& shell, QWidget* parent) {
    const auto opened = openDataFile(shell);
    if (!opened) return false;
    const auto& [path, file] = *opened;
    const std::string title = doc.pathName.empty()
                                  ? std::string("not saved yet")
                                  : std::filesystem::path(doc.pathName).filename().string();
    // Writing normalises what it writes (a unit system not chosen becomes Metric): a copy, so
    // that the project itself stays as it is.
    CPelbrinDoc templ;
    templ.setValues(doc.values());
    CSiteDlg dialog(file, path, writeInputFile(templ), doc.pathName, title, shell, parent);
    shell.runDialog(dialog);
    return !dialog.written().empty();
}

} // namespace zenka
