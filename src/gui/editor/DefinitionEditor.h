#pragma once
// DefinitionEditor: the hand definition editor. The whole definition lives in
// the dialog's controls; every number is the text of a two-character field,
// checked when the user leaves it and written to the file verbatim.
#include "core/definitions/DefinitionText.h"
#include "core/definitions/ShapeCatalogue.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace zelv {

class ClickLabel;

class DefinitionEditor : public QDialog {
    Q_OBJECT
  public:
    explicit DefinitionEditor(QWidget* parent = nullptr);
    ~DefinitionEditor() override;

    // The editor state as a definition, and the reverse (cards beyond the
    // thirteenth refused with a beep each, as when ticking them by hand).
    DefinitionText Definition() const;
    void SetDefinition(const DefinitionText& defn, int refusedCards = 0);

    // Returns false, after telling the user, when the file cannot be
    // read or written.
    bool ReadTheFile(const QString& path);
    bool WriteTheFile(const QString& path);

    // The live line below the fields: "Accepts 1 hand in 3,210 (0.031%)",
    // or "Accepts no hand: " and the reason. Worked out a moment after the
    // last change; UpdateOdds does it at once.
    QString OddsText() const;
    void UpdateOdds();

    QString MinLengthLimit() const { return QString::fromStdString(limits_.MinLengthLimit); }
    QString MaxLengthLimit() const { return QString::fromStdString(limits_.MaxLengthLimit); }

  public slots:
    void YtoNBtnClick();
    // "more than 34 points" when the hand points alone keep the definition
    // from accepting every one of the `hands` it does not; empty otherwise.
    QString PointsLimitAlone(std::uint64_t hands) const;
    // Yes holds exactly `shapes` ("4333"...), No every other shape.
    void ChooseShapes(const std::vector<std::string>& shapes);
    void NtoYBtnClick();
    void AKCBClick();
    void Hon3CBClick();
    void LoadBtnClick();
    void SaveBtnClick();
    void ClearBtnClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class ExitRule { MinPts, MaxPts, MinAK, MinSE, MaxSE, MinLen, MaxLen };
    struct ConversionError {
        QString text;
    };

    void FormCreate();
    static ExitRule ExitRuleFor(int limitIndex);
    QListWidget* MakeShapeList(const QString& name, QWidget* panel);
    QFrame* BuildShapePanel();
    QFrame* BuildHandPanel();
    QFrame* BuildSwitchPanel();
    QFrame* BuildSuitPanel();
    QFrame* BuildCardsPanel();
    void BuildButtons();
    void WatchForOdds();
    void LayOutForm(QFrame* shapes, QFrame* hand, QFrame* switches, QFrame* suits, QFrame* cards);
    void SetKeyboardOrder();
    void FitToDesign();
    void FormActivate();
    void SetDefaultValues();
    void ClearYNLists();
    void SetTheLimits();
    void ResetLengthEB();
    void ResetMinLen(QLineEdit* edit);
    void ResetMaxLen(QLineEdit* edit);
    void ResetPointsEB();
    void ResetMaxPoints(QLineEdit* edit);
    bool TooManyMustHave() const;
    void MustHaveCBClick(QCheckBox* box, bool ticked);
    void ApplyAKEnabling();
    void ApplyHon3Enabling();
    void MoveShapes(QListWidget* from, QListWidget* to);
    bool ShapeLBKeyDown(QListWidget* list, QKeyEvent* event);
    bool NumericKeyPress(QKeyEvent* event);
    void FieldExit(QLineEdit* edit);
    void MinPtsExit();
    void MaxPtsExit();
    void MinAKExit();
    void MinSEExit(QLineEdit* edit);
    void MaxSEExit(QLineEdit* edit);
    void MinLenExit(QLineEdit* edit);
    void MaxLenExit(QLineEdit* edit);

    // The field's text as a whole number; throws ConversionError.
    static int ToInt(const QString& text);
    static std::vector<std::string> ListTexts(const QListWidget* list);
    static void FillList(QListWidget* list, const std::vector<std::string>& texts);
    QLineEdit* Field(int limitIndex) const { return fields_[static_cast<std::size_t>(limitIndex)]; }
    QLineEdit* MakeField(int limitIndex, const QString& name, const QString& hint);

    std::vector<std::string> masterShapes_; // the catalogue in stored order
    LengthLimits limits_;
    QString lastOpenName_;

    QListWidget* YesShapeLB = nullptr;
    QListWidget* NoShapeLB = nullptr;
    QPushButton* YtoNBtn = nullptr;
    QPushButton* NtoYBtn = nullptr;
    ClickLabel* AKLabel = nullptr;
    ClickLabel* AKQLabel = nullptr;
    ClickLabel* H3Label = nullptr;
    ClickLabel* H5Label = nullptr;
    QCheckBox* AKCB = nullptr;
    QCheckBox* Hon3CB = nullptr;
    QPushButton* ClearBtn = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* LoadBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QLabel* OddsLbl = nullptr;
    QTimer* oddsTimer_ = nullptr;
    std::array<QLineEdit*, LimitCount> fields_{}; // in the order of LimitKeys
    std::array<QCheckBox*, 53> cards_{};          // by card code
    QHash<QObject*, ExitRule> exitRules_;
    bool inExitRule_ = false;
    QLineEdit* clickedInto_ = nullptr; // focused by a click that has not been let go yet
};

} // namespace zelv
