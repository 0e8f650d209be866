#pragma once

// File > Site Summary: the boreholes of a ground-investigation data file analysed on the current
// project, and the pile length each needs, as one PDF. The engineer ticks the boreholes, gives
// every classification in use a soil code and, if wanted, the required capacity.

#include "site/SiteAnalysis.h"

#include <QDialog>

#include <map>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zenka {

class CPelbrinDoc;
class GuiShell;

namespace dataimport {
struct DataFile;
}

class CSiteDlg : public QDialog {
    Q_OBJECT
public:
    // templateBytes: the project file the boreholes are analysed on, as Save writes it;
    // projectPath: its file, if it has one (the PDF is never written over it).
    CSiteDlg(const dataimport::DataFile& file, const std::string& dataPath,
             const std::string& templateBytes, const std::string& projectPath,
             const std::string& projectTitle, GuiShell& shell, QWidget* parent = nullptr);

    std::vector<const dataimport::Borehole*> chosen() const;
    SoilMap soilMap() const;
    // Q when it is asked for and typed right.
    std::optional<double> required() const;
    CapacityKind kind() const;
    double hammerFactor() const;

    // Save PDF: asks where, analyses the ticked boreholes with a progress dialog and writes the
    // PDF. True when it was written.
    bool savePdf();
    // The last PDF written, or empty.
    const std::string& written() const { return written_; }

private:
    void fillBoreholes();
    void fillClassifications();
    void updateState();
    void checkAll(bool withTestsOnly);

    const dataimport::DataFile& file_;
    std::string dataPath_;
    std::string templateBytes_;
    std::string projectPath_;
    GuiShell& shell_;
    int units_ = 0;
    std::map<std::string, int> codes_; // by classification, as the engineer chose them
    std::string written_;
    bool filling_ = false;

    QTableWidget* boreholes_ = nullptr;
    QTableWidget* classes_ = nullptr;
    QLineEdit* hammer_ = nullptr;
    QCheckBox* useRequired_ = nullptr;
    QLineEdit* required_ = nullptr;
    QComboBox* kind_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* save_ = nullptr;
};

// Asks for a data file and shows the site dialog on it with the current project as the
// template (its bytes as Save writes them, normalised as Save does). True when a PDF was written.
bool SiteSummary(CPelbrinDoc& doc, GuiShell& shell, QWidget* parent);

} // namespace zenka
