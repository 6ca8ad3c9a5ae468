#include "vocabulary/ScreenTexts.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <functional>

namespace {

const char *const KeepText = "quenzoKeepText";

// One translatable text of a control, with how to read and write it.
struct Text
{
    QString key;
    QString value;
    std::function<void(const QString &)> set;
};

// Parts of composite controls (a combo's line edit, a tab bar's buttons) are not the screen's own.
bool isInternal(const QWidget *w, const QWidget *screen)
{
    if (w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (const QWidget *p = w->parentWidget(); p && p != screen; p = p->parentWidget())
        if (qobject_cast<const QTabBar *>(p) || qobject_cast<const QComboBox *>(p) || qobject_cast<const QAbstractSpinBox *>(p)
            || qobject_cast<const QLineEdit *>(p))
            return true;
    return false;
}

QList<Text> texts(QWidget *screen)
{
    QList<Text> out;
    out.append({QStringLiteral("Caption"), screen->windowTitle(), [screen](const QString &v) { screen->setWindowTitle(v); }});
    QHash<QString, int> ranks;
    const QList<QWidget *> children = screen->findChildren<QWidget *>();
    for (QWidget *w : children) {
        const bool label = qobject_cast<QLabel *>(w), button = qobject_cast<QAbstractButton *>(w),
                   group = qobject_cast<QGroupBox *>(w), tabs = qobject_cast<QTabWidget *>(w);
        if (!(label || button || group || tabs) || isInternal(w, screen))
            continue;
        const bool kept = w->property(KeepText).toBool();
        QString name = w->objectName();
        if (name.isEmpty()) {
            QString kind = QString::fromLatin1(w->metaObject()->className());
            if (kind.startsWith(QLatin1Char('Q')))
                kind.remove(0, 1);
            name = kind + QLatin1Char('_') + QString::number(ranks[kind]++);
        }
        if (kept)
            continue; // named all the same, so the ranks of the others stay put
        if (auto *l = qobject_cast<QLabel *>(w); l && l->textFormat() != Qt::RichText)
            out.append({name + QStringLiteral("_Caption"), l->text(), [l](const QString &v) { l->setText(v); }});
        if (auto *b = qobject_cast<QAbstractButton *>(w); b)
            out.append({name + QStringLiteral("_Caption"), b->text(), [b](const QString &v) { b->setText(v); }});
        if (auto *g = qobject_cast<QGroupBox *>(w); g)
            out.append({name + QStringLiteral("_Caption"), g->title(), [g](const QString &v) { g->setTitle(v); }});
        if (auto *t = qobject_cast<QTabWidget *>(w)) {
            for (int i = 0; i < t->count(); ++i)
                out.append({name + QStringLiteral("_Caption") + QString::number(i), t->tabText(i),
                           [t, i](const QString &v) { t->setTabText(i, v); }});
        }
        out.append({name + QStringLiteral("_ttyp"), w->toolTip(), [w](const QString &v) { w->setToolTip(v); }});
    }
    return out;
}

} // namespace

void ScreenTexts::keepText(QWidget *control)
{
    control->setProperty(KeepText, true);
}

QString ScreenTexts::section(const QWidget *screen)
{
    return screen->objectName().isEmpty() ? QString::fromLatin1(screen->metaObject()->className()) : screen->objectName();
}

QList<LanguageFile::Entry> ScreenTexts::collect(QWidget *screen)
{
    QList<LanguageFile::Entry> entries;
    for (const Text &t : texts(screen))
        if (!t.value.isEmpty())
            entries.append({t.key, t.value});
    return entries;
}

int ScreenTexts::apply(QWidget *screen, const LanguageFile &file)
{
    const QString name = section(screen);
    int changed = 0;
    for (const Text &t : texts(screen)) {
        // A text the screen leaves empty stays empty.
        const QString value = t.value.isEmpty() ? QString() : file.value(name, t.key);
        if (!value.isEmpty() && value != t.value) {
            t.set(value);
            ++changed;
        }
    }
    return changed;
}

QStringList ScreenTexts::unknownKeys(QWidget *screen, const LanguageFile &file)
{
    QStringList known;
    for (const Text &t : texts(screen))
        known.append(t.key.toLower());
    QStringList unknown;
    for (const LanguageFile::Entry &e : file.entries(section(screen)))
        if (!known.contains(e.first.toLower()))
            unknown.append(e.first);
    return unknown;
}
