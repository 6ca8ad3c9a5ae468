#include "vocabulary/LanguageApplier.h"

#include "core/Settings.h"
#include "vocabulary/ScreenTexts.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QWidget>

namespace {

const char *const Applied = "quenzoLanguage";

} // namespace

LanguageApplier::LanguageApplier(Settings &settings, const QString &folder, QObject *parent)
    : QObject(parent), m_settings(settings), m_folder(folder)
{
    qApp->installEventFilter(this);
}

Outcome LanguageApplier::choose(const QString &name)
{
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".ini"));
    LanguageFile file;
    Outcome read = file.load(path);
    if (!read)
        return read;
    m_file = file;
    m_path = path;
    m_settings.write(QStringLiteral("UTIL"), QStringLiteral("Langue"), name);
    // Windows already open change at once.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            w->setProperty(Applied, m_path);
            ScreenTexts::apply(w, m_file);
        }
    }
    return read;
}

Outcome LanguageApplier::restore()
{
    const QString name = m_settings.read(QStringLiteral("UTIL"), QStringLiteral("Langue"));
    if (name.isEmpty())
        return Outcome::success();
    return choose(name);
}

bool LanguageApplier::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && !m_path.isEmpty()) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->isWindow() && w->property(Applied).toString() != m_path) {
            w->setProperty(Applied, m_path);
            ScreenTexts::apply(w, m_file);
        }
    }
    return QObject::eventFilter(watched, event);
}
