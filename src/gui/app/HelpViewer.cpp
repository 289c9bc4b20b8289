#include "gui/app/HelpViewer.h"

#include "gui/widgets/DialogFrame.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace zelv {

namespace {
QString helpFilePath;

QString TopicAnchor(int topic) { return QStringLiteral("topic%1").arg(topic); }

QString PlainText(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText().simplified();
}
} // namespace

void SetHelpFile(const QString& path) { helpFilePath = path; }
QString HelpFile() { return helpFilePath; }

void ShowHelp(QWidget* parent, int topic) {
    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    HelpViewer viewer(helpFilePath, parent);
    if (topic > 0)
        viewer.showTopic(topic);
    else
        viewer.showSearch();
    viewer.exec();
}

HelpViewer::HelpViewer(const QString& helpFile, QWidget* parent) : QDialog(parent), file_(helpFile) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Zelvano Help"));
    SetSizableDialogFrame(this);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("HelpTabs"));
    contents_ = new QListWidget(tabs_);
    contents_->setObjectName(QStringLiteral("ContentsLB"));
    tabs_->addTab(contents_, QStringLiteral("&Contents"));
    QPushButton* display = BuildSearchTab();

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenLinks(true);
    auto* split = new QSplitter(this);
    split->addWidget(tabs_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 580});
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseBtn"));
    close->setAutoDefault(false);
    auto* column = new QVBoxLayout(this);
    column->addWidget(split, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    column->addLayout(bottom);
    resize(860, 600);

    ReadTopicsAndKeywords();
    // Wide enough for the longest topic title, so none is cut off.
    int wide = 200;
    for (const Entry& t : topics_) wide = std::max(wide, contents_->fontMetrics().horizontalAdvance(t.title) + 40);
    tabs_->setMinimumWidth(wide);
    split->setSizes({wide, 860 - wide});

    connect(contents_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { jumpTo(topics_.value(contents_->row(item)).anchor); });
    connect(contents_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { jumpTo(topics_.value(contents_->row(item)).anchor); });
    connect(keywordEdit_, &QLineEdit::textEdited, this, &HelpViewer::keywordTyped);
    connect(keywordEdit_, &QLineEdit::returnPressed, this, &HelpViewer::displayKeyword);
    connect(keywordList_, &QListWidget::itemActivated, this, [this] { displayKeyword(); });
    connect(display, &QPushButton::clicked, this, &HelpViewer::displayKeyword);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QPushButton* HelpViewer::BuildSearchTab() {
    auto* search = new QWidget(tabs_);
    auto* searchColumn = new QVBoxLayout(search);
    searchColumn->addWidget(new QLabel(QStringLiteral("Type the first letters of a word:"), search));
    keywordEdit_ = new QLineEdit(search);
    keywordEdit_->setObjectName(QStringLiteral("KeywordEB"));
    searchColumn->addWidget(keywordEdit_);
    keywordList_ = new QListWidget(search);
    keywordList_->setObjectName(QStringLiteral("KeywordLB"));
    searchColumn->addWidget(keywordList_, 1);
    auto* display = new QPushButton(QStringLiteral("&Display"), search);
    display->setObjectName(QStringLiteral("DisplayBtn"));
    searchColumn->addWidget(display);
    tabs_->addTab(search, QStringLiteral("&Search"));
    return display;
}

// Topics and keywords from the help file, listed in their tabs.
void HelpViewer::ReadTopicsAndKeywords() {
    QFile f(file_);
    if (!file_.isEmpty() && f.open(QIODevice::ReadOnly)) {
        const QString html = QString::fromUtf8(f.readAll());
        loaded_ = true;
        browser_->setSource(QUrl::fromLocalFile(QFileInfo(file_).absoluteFilePath()));
        // Topics: <h2><a name="topicNN"></a>Title</h2>; keywords: <a name="k-Word">.
        static const QRegularExpression topicRe(
            QStringLiteral("<h2[^>]*>\\s*<a name=\"(topic\\d+)\"[^>]*>\\s*</a>(.*?)</h2>"),
            QRegularExpression::DotMatchesEverythingOption);
        for (auto m = topicRe.globalMatch(html); m.hasNext();) {
            const auto hit = m.next();
            topics_.append({PlainText(hit.captured(2)), hit.captured(1)});
        }
        static const QRegularExpression keywordRe(QStringLiteral("<a name=\"(k-([^\"]+))\""));
        for (auto m = keywordRe.globalMatch(html); m.hasNext();) {
            const auto hit = m.next();
            keywords_.append({hit.captured(2), hit.captured(1)});
        }
        std::sort(keywords_.begin(), keywords_.end(), [](const Entry& a, const Entry& b) {
            return QString::compare(a.title, b.title, Qt::CaseInsensitive) < 0;
        });
    } else {
        browser_->setHtml(QStringLiteral("<h3>Help is not available</h3><p>The help file <b>%1</b> cannot be "
                                         "opened. It belongs in the folder <b>help</b> beside the program.</p>")
                              .arg(file_.toHtmlEscaped()));
    }
    for (const Entry& t : topics_) contents_->addItem(t.title);
    for (const Entry& k : keywords_) keywordList_->addItem(k.title);
}

void HelpViewer::jumpTo(const QString& anchor) {
    if (!loaded_ || anchor.isEmpty()) return;
    anchor_ = anchor;
    QUrl url = QUrl::fromLocalFile(QFileInfo(file_).absoluteFilePath());
    url.setFragment(anchor);
    browser_->setSource(url);
    browser_->scrollToAnchor(anchor);
}

void HelpViewer::showTopic(int topic) {
    tabs_->setCurrentIndex(0);
    const QString anchor = TopicAnchor(topic);
    for (int i = 0; i < topics_.size(); ++i)
        if (topics_[i].anchor == anchor) contents_->setCurrentRow(i);
    jumpTo(anchor);
}

void HelpViewer::showSearch(const QString& keyword) {
    tabs_->setCurrentIndex(1);
    keywordEdit_->setText(keyword);
    keywordTyped(keyword);
    keywordEdit_->setFocus();
}

void HelpViewer::keywordTyped(const QString& text) {
    if (text.isEmpty()) {
        keywordList_->setCurrentRow(-1);
        return;
    }
    for (int i = 0; i < keywords_.size(); ++i)
        if (keywords_[i].title.startsWith(text, Qt::CaseInsensitive)) {
            keywordList_->setCurrentRow(i);
            keywordList_->scrollToItem(keywordList_->item(i), QAbstractItemView::PositionAtTop);
            return;
        }
    keywordList_->setCurrentRow(-1);
}

void HelpViewer::displayKeyword() {
    const int row = keywordList_->currentRow();
    if (row >= 0 && row < keywords_.size()) {
        jumpTo(keywords_[row].anchor);
        return;
    }
    // No keyword begins so: look for the words anywhere in the text.
    const QString text = keywordEdit_->text().trimmed();
    if (text.isEmpty() || !loaded_) return;
    browser_->moveCursor(QTextCursor::Start);
    if (browser_->find(text)) anchor_.clear();
}

QStringList HelpViewer::keywords() const {
    QStringList list;
    for (const Entry& k : keywords_) list << k.title;
    return list;
}

} // namespace zelv
