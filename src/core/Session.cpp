#include "core/Session.h"

#include "core/Settings.h"
#include "core/SqlText.h"

#include <QSysInfo>

Session::Session(Settings &settings)
    : m_settings(settings), m_workstation(defaultWorkstationName()), m_decimalSeparator(systemDecimalSeparator())
{
}

Session::~Session() = default;

QString Session::defaultWorkstationName()
{
    const QString forced = qEnvironmentVariable("QUENZO_WORKSTATION");
    return forced.isEmpty() ? QSysInfo::machineHostName() : forced;
}

void Session::attachDatabase(std::unique_ptr<Database> db)
{
    m_db = std::move(db);
    m_dialect = Dialect(m_db ? m_db->backend() : Backend::File);
    m_open = m_db != nullptr;
}

void Session::closeDatabase()
{
    m_db.reset();
    m_open = false;
    m_description = DatabaseDescription();
}

QChar Session::shownDecimalSeparator() const
{
    return m_decimalSeparator.isNull() ? systemDecimalSeparator() : m_decimalSeparator;
}
