#pragma once

#include "access/Access.h"
#include "clients/ClientSearch.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class DateField;
class Prompter;
class ReportTable;
class Session;

// The list of companies and individuals with its search filters; a double
// click opens the client, the two add buttons create one of either kind.
class ListClients : public QDialog
{
    Q_OBJECT
public:
    ListClients(Session &session, Prompter &prompter, QWidget *parent = nullptr);

    // Opens the record screen of a company (kind 0) or an individual (kind 1);
    // number 0: a new one. Returns the number it ended on, 0 when nothing was
    // saved. Set by whoever owns those screens.
    using Opener = std::function<qint64(int kind, qint64 number)>;
    // Replaceable pickers (tests use no modal window).
    using EditChooser = std::function<QString()>;
    using Previewer = std::function<void(const ReportTable &)>;
    void setOpener(const Opener &opener) { m_opener = opener; }
    void setEditChooser(const EditChooser &chooser) { m_editChooser = chooser; }
    void setPreviewer(const Previewer &previewer) { m_previewer = previewer; }

    // The filters as the screen's fields stand.
    ClientSearch::Filters filters() const;
    const QList<ClientSearch::Field> &searchFields() const { return m_fields; }

    QListWidget *typeFilter() const { return m_types; }
    QListWidget *sectorFilter() const { return m_sectors; }
    QComboBox *closureFilter() const { return m_closure; }
    QComboBox *fieldList(int row) const { return m_fieldLists[row]; }
    QComboBox *matchList(int row) const { return m_matchLists[row]; }
    QLineEdit *valueField(int row) const { return m_values[row]; }
    QCheckBox *contractOption() const { return m_contractOn; }
    QComboBox *contractList() const { return m_contract; }
    QComboBox *dateRuleList() const { return m_dateRule; }
    DateField *fromField() const { return m_from; }
    DateField *toField() const { return m_to; }
    QCheckBox *namesOption() const { return m_names; }
    QPushButton *addCompanyButton() const { return m_addCompany; }
    QPushButton *addIndividualButton() const { return m_addIndividual; }
    QTableView *view() const { return m_view; }
    ClientListModel *model() const { return m_model; }

    // "Lancer": runs the search with the chosen filters.
    void refresh();
    // "Effacez les critères".
    void clearCriteria();
    void open(int kind, qint64 number);
    void print();

private:
    void contractChanged();

    Session &m_session;
    Prompter &m_prompter;
    Rights m_rights;
    ClientSearch m_search;
    QList<ClientSearch::Field> m_fields;
    Opener m_opener;
    EditChooser m_editChooser;
    Previewer m_previewer;

    QListWidget *m_types;
    QListWidget *m_sectors;
    QComboBox *m_closure;
    std::array<QComboBox *, 3> m_fieldLists{};
    std::array<QComboBox *, 3> m_matchLists{};
    std::array<QLineEdit *, 3> m_values{};
    QCheckBox *m_contractOn;
    QComboBox *m_contract;
    QComboBox *m_dateRule;
    DateField *m_from;
    QLabel *m_andLabel;
    DateField *m_to;
    QCheckBox *m_names;
    QPushButton *m_addCompany;
    QPushButton *m_addIndividual;
    QTableView *m_view;
    ClientListModel *m_model;
};
