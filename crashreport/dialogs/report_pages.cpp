#include "crashreport/dialogs/report_pages.h"

#include "crashreport/dialogs/dialog_fonts.h"
#include "crashreport/dialogs/grouped_list.h"
#include "crashreport/dialogs/qt_text.h"
#include "crashreport/dialogs/state_file.h"
#include "crashreport/renderings/report_layout.h"
#include "crashreport/renderings/rich_text.h"
#include "crashreport/renderings/rtf_to_html.h"
#include "crashreport/report/report_text.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <vector>

namespace faulttrap {
namespace {

struct Column {
    TextId text;     // customised text of its title
    const char* key; // its width in FaultTrap.ini
    int width;       // default width
    bool right = false;
};

RichTextFont PageRichTextFont() {
    const QFont font = PageFont();
    const QFontMetrics metrics(font);
    return {FromQt(font.family()), font.pointSize(), 0, metrics.horizontalAdvance(u'-') * 15};
}

// A column grows for its cells up to the width of the widest classic column (the modules'
// Path); longer texts are rare and Ctrl+Plus fits them.
constexpr int kTypicalContentWidth = 712;

RowIcon ModuleIcon(const QString& name) {
    const QString lower = name.toLower();
    if (lower.endsWith(QStringLiteral(".bpl")) || lower.endsWith(QStringLiteral(".dpl"))) {
        return RowIcon::Package;
    }
    if (lower.endsWith(QStringLiteral(".exe"))) {
        return RowIcon::Executable;
    }
    // Shared objects ("libc.so.6", "ld.so") are libraries; a file without that mark is a program.
    if (lower.contains(QStringLiteral(".so")) || lower.endsWith(QStringLiteral(".dll"))) {
        return RowIcon::Library;
    }
    return RowIcon::Executable;
}

class PageBase : public QWidget {
public:
    PageBase(const DialogSession& session, TextId caption, QWidget* parent)
        : QWidget(parent), session_(session) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(3, 2, 3, 3);
        layout->setSpacing(3);
        auto* label = new QLabel(ToQt(session.Text(caption)), this);
        label->setObjectName(QStringLiteral("caption"));
        label->setFont(MessageFont());
        layout->addWidget(label);
    }

protected:
    const DialogSession& session_;
};

class TextPage : public PageBase {
public:
    TextPage(const DialogSession& session, TextId caption, const std::string& richText,
             QWidget* parent)
        : PageBase(session, caption, parent) {
        auto* box = new QTextEdit(this);
        box->setObjectName(QStringLiteral("content"));
        box->setReadOnly(true);
        // A stop of the focus chain where the arrows and Page keys scroll the report.
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->setFocusPolicy(Qt::StrongFocus);
        box->setTabChangesFocus(true);
        box->setLineWrapMode(QTextEdit::NoWrap);
        box->setFont(PageFont());
        QPalette white = box->palette();
        white.setColor(QPalette::Base, Qt::white);
        box->setPalette(white);
        const HtmlRendering html = RichTextToHtml(richText);
        if (html.tabStopTwips > 0) {
            box->setTabStopDistance(html.tabStopTwips / 15.0);
        }
        box->document()->setDefaultFont(PageFont());
        box->setHtml(ToQt(html.html));
        layout()->addWidget(box);
    }
};

class ListPage : public PageBase {
public:
    ListPage(const DialogSession& session, TextId caption, std::vector<Column> columns,
             QWidget* parent)
        : PageBase(session, caption, parent), columns_(std::move(columns)) {
        list_ = new QTreeWidget(this);
        list_->setObjectName(QStringLiteral("content"));
        QStringList titles;
        for (const Column& column : columns_) {
            titles << ToQt(session.Text(column.text));
        }
        list_->setHeaderLabels(titles);
        for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
            list_->headerItem()->setTextAlignment(
                i, (columns_[static_cast<std::size_t>(i)].right ? Qt::AlignRight : Qt::AlignLeft) |
                       Qt::AlignVCenter);
        }
        list_->header()->setStretchLastSection(false);
        items_ = std::make_unique<TListViewItems>(list_);
        layout()->addWidget(list_);
    }

    // Once the rows are in: the widths the user gave the columns, else widths that show the
    // title and the cells in the list's own font, never narrower than the classic pixels.
    void SizeColumns() {
        const StateFile state;
        for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
            const Column& column = columns_[static_cast<std::size_t>(i)];
            const std::optional<int> saved =
                state.Number(QStringLiteral("Coordinates"), QString::fromLatin1(column.key));
            const int measured = std::max(
                {column.width, items_->TitleWidth(i),
                 std::min(items_->ContentWidth(i), std::max(column.width, kTypicalContentWidth))});
            list_->setColumnWidth(i, saved.value_or(measured));
        }
    }

    ~ListPage() override {
        // The widths the user gave the columns come back the next time.
        const StateFile state;
        for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
            state.Write(QStringLiteral("Coordinates"),
                        QString::fromLatin1(columns_[static_cast<std::size_t>(i)].key),
                        list_->columnWidth(i));
        }
    }

    TListViewItems& Items() { return *items_; }

private:
    std::vector<Column> columns_;
    QTreeWidget* list_;
    std::unique_ptr<TListViewItems> items_;
};

QStringList Fields(const std::string& row) {
    QStringList fields;
    for (const std::string& field : TableFields(row)) {
        fields << ToQt(field);
    }
    return fields;
}

void FillCallStack(TListViewItems& items, const std::vector<std::string>& rows) {
    bool blockHasGroup = false;
    for (const std::string& row : rows) {
        if (row.starts_with("|-")) {
            continue;
        }
        QStringList fields = Fields(row);
        if (fields.size() < 6) {
            const QString caption = fields.value(0);
            if (caption.isEmpty()) {
                items.Add(QStringList(6, QString()), {}, false, 0, RowIcon::None);
                blockHasGroup = false;
                continue;
            }
            const bool exceptionThread = caption.startsWith(u'*');
            const bool callingThread = blockHasGroup;
            items.Add({}, exceptionThread ? caption.mid(1) : caption, true,
                      (exceptionThread ? 1 : 0) + 2 * (callingThread ? 1 : 0), RowIcon::None);
            blockHasGroup = true;
            continue;
        }
        const RowIcon icon = !fields[5].isEmpty() ? RowIcon::SourceUnit : ModuleIcon(fields[1]);
        items.Add(fields.mid(0, 6), {}, false, 0, icon);
    }
}

void FillTable(TListViewItems& items, const std::vector<std::string>& rows, int nameColumn,
               bool allExecutables) {
    for (const std::string& row : rows) {
        if (row.starts_with("|-")) {
            continue;
        }
        const QStringList fields = Fields(row);
        items.Add(fields, {}, false, 0,
                  allExecutables ? RowIcon::Executable : ModuleIcon(fields.value(nameColumn)));
    }
}

} // namespace

QWidget* CreateReportPage(int page, const DialogSession& session, QWidget* parent) {
    const ReportLayout layout = SplitReport(session.report.Text());
    const RichTextFont font = PageRichTextFont();
    switch (page) {
    case CallStackPage: {
        auto* list = new ListPage(session, TextId::CallStackInformation,
                                  {{TextId::StackAddress, "Col0", 89},
                                   {TextId::StackModule, "Col1", 92},
                                   {TextId::StackUnit, "Col2", 126},
                                   {TextId::StackClass, "Col3", 126},
                                   {TextId::StackProcedure, "Col4", 200},
                                   {TextId::StackLine, "Col5", 61, true}},
                                  parent);
        FillCallStack(list->Items(), layout.stackRows);
        list->SizeColumns();
        return list;
    }
    case ModulesPage: {
        // The table of the report has the modification time before the folder.
        auto* list = new ListPage(session, TextId::ModulesInformation,
                                  {{TextId::ModuleHandle, "ColMod0", 80},
                                   {TextId::ModuleFileName, "ColMod1", 96},
                                   {TextId::ModuleDescription, "ColMod2", 175},
                                   {TextId::ModuleListVersion, "ColMod3", 50, true},
                                   {TextId::ModuleSize, "ColMod4", 54, true},
                                   {TextId::ModuleModified, "ColMod6", 80},
                                   {TextId::ModulePath, "ColMod5", 712}},
                                  parent);
        FillTable(list->Items(), layout.moduleRows, 1, false);
        list->SizeColumns();
        return list;
    }
    case ProcessesPage: {
        auto* list = new ListPage(session, TextId::ProcessesInformation,
                                  {{TextId::ProcessId, "ColPro0", 48},
                                   {TextId::ProcessName, "ColPro1", 134},
                                   {TextId::ProcessDescription, "ColPro2", 232},
                                   {TextId::ProcessVersion, "ColPro3", 56, true},
                                   {TextId::ProcessMemory, "ColPro4", 57, true},
                                   {TextId::ProcessPriority, "ColPro5", 47, true},
                                   {TextId::ProcessThreads, "ColPro6", 52, true},
                                   {TextId::ProcessPath, "ColPro7", 330}},
                                  parent);
        FillTable(list->Items(), layout.processRows, 1, true);
        list->SizeColumns();
        return list;
    }
    case AssemblerPage:
        return new TextPage(session, TextId::AssemblerInformation,
                            AssemblerRichText(layout.AssemblerText(), font), parent);
    case CpuPage:
        return new TextPage(session, TextId::CpuInformation, CpuRichText(layout.CpuText(), font),
                            parent);
    default:
        return new TextPage(session, TextId::GeneralInformation,
                            GeneralRichText(layout.GeneralText(), font), parent);
    }
}

} // namespace faulttrap
