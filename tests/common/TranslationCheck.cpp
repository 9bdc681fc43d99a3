#include "common/TranslationCheck.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>
#include <set>

#include "common/TestSupport.h"
#include "document/CollageDocument.h"
#include "language/Language.h"
#include "platform/Paths.h"

// ---- The pseudo-language ----

namespace {
const QChar kOpen(0x27E6), kClose(0x27E7); // ⟦ ⟧
std::string gPreviousRoot;
} // namespace

QString TPseudoLanguage::Wrap(const std::string& key) {
    return kOpen + QString::fromStdString(key) + kClose;
}

TPseudoLanguage::TPseudoLanguage() {
    const std::string library = ResourceRoot();
    gPreviousRoot = library;
    FRoot = MakeTempDir();
    const QDir from(QString::fromStdString(library));
    for (const QString& entry : from.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry == "Languages") continue;
        QFile::link(from.filePath(entry), QString::fromStdString(FRoot) + "/" + entry);
    }
    QDir().mkpath(QString::fromStdString(FRoot + "/Languages"));
    QFile file(QString::fromStdString(FRoot + "/Languages/" + Name + ".ini"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    QString text = QString("[Info]\nLanguage=%1\n[String]\n").arg(Name);
    for (const TLanguageKey& k : LanguageKeys())
        text += QString::fromUtf8(k.Key.data(), int(k.Key.size())) + "=" + Wrap(std::string(k.Key)) + "\n";
    file.write(text.toUtf8());
    file.close();
    SetResourceRoot(FRoot);
    BuildLanguageList();
    SetCurrentLanguage(Index);
}

TPseudoLanguage::~TPseudoLanguage() {
    SetResourceRoot(gPreviousRoot);
    BuildLanguageList();
    SetCurrentLanguage(-1);
}

// ---- The walk ----

TTranslationAllowance DefaultAllowance() {
    TTranslationAllowance a;
    // The language menu keeps its own entries in every language, so that a
    // wrong choice can be undone by anyone; language names come from files.
    a.Texts = {"Languages", "&English"};
    a.UserDataNames.emplace_back("^MenuLanguage\\d+$");
    a.Fragments.emplace_back(QRegularExpression::escape(QString("%1 %2").arg(kProductName, kVersion)));
    a.Fragments.emplace_back("\\d+ X \\d+");
    // thumbnails (file names), the folder tree (folder names), template tiles
    a.UserDataClasses = {"TPicFileList", "TShellTreeView", "TTemplateTile", "QFontComboBox"};
    // the hidden halves of the category choices hold folder names
    a.UserDataNames.emplace_back("^ComboBox(Mask|SubFrame|Frame|Clipart)Type$");
    // the text page's font list shows the installed families by their names
    a.UserDataNames.emplace_back("^suiFontComboBoxFont$");
    return a;
}

namespace {

class TWalk {
public:
    TWalk(const TTranslationAllowance& allowance) : A(allowance) {}

    void Widget(QWidget* w) {
        if (UserData(w)) return;
        const QString where = Path(w);
        if (w->isWindow()) Check(where + " title", w->windowTitle());
        Check(where + " tool tip", w->toolTip());
        Check(where + " status tip", w->statusTip());
        if (auto* l = qobject_cast<QLabel*>(w))
            Check(where, Qt::mightBeRichText(l->text()) && l->textFormat() != Qt::PlainText ? Plain(l->text())
                                                                                            : l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) Check(where, b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) Check(where, g->title());
        if (auto* e = qobject_cast<QLineEdit*>(w)) Check(where + " placeholder", e->placeholderText());
        if (auto* e = qobject_cast<QTextEdit*>(w)) Check(where + " placeholder", e->placeholderText());
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) Check(where + " placeholder", e->placeholderText());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) Check(where + " item", c->itemText(i));
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i) {
                Check(where + " tab", t->tabText(i));
                Check(where + " tab tip", t->tabToolTip(i));
            }
        // (a combo box's list is read through the combo box)
        if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model() && !InsideCombo(v))
            Items(where, *v->model(), QModelIndex());
        for (QAction* a : w->actions()) Action(a, where);
        if (auto* m = qobject_cast<QMenu*>(w)) Action(m->menuAction(), where);
    }

    std::vector<std::string> Found;

private:
    const TTranslationAllowance& A;
    std::set<const QAction*> FSeen;

    bool UserData(const QWidget* w) const {
        for (const QWidget* p = w; p; p = p->parentWidget()) {
            for (const QString& c : A.UserDataClasses)
                if (p->inherits(c.toLatin1().constData())) return true;
            for (const QRegularExpression& re : A.UserDataNames)
                if (re.match(p->objectName()).hasMatch()) return true;
        }
        return false;
    }

    static bool InsideCombo(const QWidget* w) {
        for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
            if (qobject_cast<const QComboBox*>(p)) return true;
        return false;
    }

    static QString Path(const QObject* o) {
        QStringList names;
        for (; o; o = o->parent()) {
            names.prepend(o->objectName().isEmpty() ? QString(o->metaObject()->className())
                                                    : o->objectName());
            if (o->isWidgetType() && static_cast<const QWidget*>(o)->isWindow()) break;
        }
        return names.join('/');
    }

    static QString Plain(const QString& html) {
        QTextDocument d;
        d.setHtml(html);
        return d.toPlainText();
    }

    void Action(QAction* a, const QString& owner) {
        if (!a || !FSeen.insert(a).second || a->isSeparator() || !a->isVisible()) return;
        for (const QRegularExpression& re : A.UserDataNames)
            if (re.match(a->objectName()).hasMatch()) return;
        const QString where = owner + ">" + (a->objectName().isEmpty() ? a->text() : a->objectName());
        // the key names after a tab are the shortcut, not a text of ours
        const QString text = a->text().section('\t', 0, 0);
        Check(where, text);
        // a tool tip of its own (Qt makes one from the text otherwise)
        QString derived = text;
        derived.remove('&').remove("...");
        if (a->toolTip().section('\t', 0, 0) != derived)
            Check(where + " tool tip", a->toolTip().section('\t', 0, 0));
        if (QMenu* m = a->menu())
            for (QAction* sub : m->actions()) Action(sub, where);
    }

    void Items(const QString& where, const QAbstractItemModel& model, const QModelIndex& parent) {
        const int rows = std::min(model.rowCount(parent), 500);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < model.columnCount(parent); ++c) {
                const QModelIndex i = model.index(r, c, parent);
                Check(where + " item", model.data(i, Qt::DisplayRole).toString());
                Check(where + " item tip", model.data(i, Qt::ToolTipRole).toString());
                if (c == 0 && model.hasChildren(i)) Items(where, model, i);
            }
    }

    void Check(const QString& where, const QString& text) {
        if (text.trimmed().isEmpty() || A.Texts.contains(text)) return;
        QString rest = text;
        static const QRegularExpression wrapped(QString("%1[^%2]*%2").arg(kOpen, kClose));
        rest.remove(wrapped);
        for (const QRegularExpression& re : A.Fragments) rest.remove(re);
        for (const QChar ch : rest)
            if (ch.isLetter() || ch == kOpen || ch == kClose) {
                Found.push_back((where + ": " + text).toStdString());
                return;
            }
    }
};

} // namespace

std::vector<std::string> UntranslatedTexts(QWidget* window, const TTranslationAllowance& allowance) {
    TWalk walk(allowance);
    walk.Widget(window);
    for (QWidget* w : window->findChildren<QWidget*>()) walk.Widget(w);
    return walk.Found;
}

void ExpectTranslated(QWidget* window, const TTranslationAllowance& allowance) {
    for (const std::string& text : UntranslatedTexts(window, allowance))
        ADD_FAILURE() << "not translated: " << text;
}
