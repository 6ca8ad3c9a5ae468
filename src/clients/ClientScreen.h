#pragma once

#include "core/widgets/RecordScreen.h"
#include "resources/IconField.h"

#include "access/Access.h"
#include "clients/ClientFreeZones.h"
#include "clients/ClientStore.h"

#include <QDialog>
#include <QHash>
#include <functional>

class ColourSwatch;
class DateField;
class Prompter;
class QCheckBox;
class QComboBox;
class QFormLayout;

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class ReportTable;
class Session;
class SubRecordPanel;
struct ClientSubKind;

// What the company and individual screens share: the client's address and
// contact fields, colours, icon, zone and closed flag, the contract,
// document, memo, free-field and data tabs, saving, deletion and the lock
// of the client. Each data field is named after its database column.
class ClientScreen : public RecordScreen
{
    Q_OBJECT
public:
    qint64 number() const { return m_client.number; }

    // Opened for reading only: deletion is refused.
    void setConsultation(bool consultation) { m_consultation = consultation; }
    bool isConsultation() const { return m_consultation; }

    // Replaceable pickers (tests use no modal window).
    using IconChooser = IconField::Chooser;
    using FileChooser = std::function<QString(const QString &folder)>;
    using DocumentOpener = std::function<bool(const QString &path)>;
    using Previewer = std::function<void(const ReportTable &)>;
    void setIconChooser(const IconChooser &chooser) { m_icon->setChooser(chooser); }
    void setFileChooser(const FileChooser &chooser) { m_fileChooser = chooser; }
    void setDocumentOpener(const DocumentOpener &opener) { m_documentOpener = opener; }
    void setPreviewer(const Previewer &previewer) { m_previewer = previewer; }

    QTabWidget *tabs() const { return m_tabs; }
    // The entry field of a kp_societes column.
    QWidget *field(const QString &column) const { return m_fields.value(column); }
    QLineEdit *lineField(const QString &column) const;
    QComboBox *sectorList() const { return m_sector; }
    QComboBox *civilityList() const { return m_civility; }
    ColourSwatch *backgroundSwatch() const { return m_background; }
    ColourSwatch *textSwatch() const { return m_text; }
    QPushButton *iconButton() const { return m_icon->chooseButton(); }
    QPushButton *clearIconButton() const { return m_icon->clearButton(); }
    QPushButton *historyButton() const { return m_historyButton; }
    QCheckBox *closedBox() const { return m_closed; }
    QTreeWidget *zoneGrid() const { return m_zones; }
    QLineEdit *freeTextField(int i) const { return m_freeTexts[i]; }
    QComboBox *freeCodeList(int i) const { return m_freeCodes[i]; }
    const ClientFreeZones &freeZones() const { return m_freeZones; }

    SubRecordPanel *contracts() const { return m_contracts; }
    SubRecordPanel *documents() const { return m_documents; }
    SubRecordPanel *memos() const { return m_memos; }
    SubRecordPanel *dataRows() const { return m_data; }

public slots:
    // Saves the client and stays on it, reloaded.
    void validate();
    // Rereads everything from the database; false when the client is gone.
    bool reload();
    void removeClient();
    // The end of a contract proposed from its type's duration, when empty.
    void proposeContractEnd();
    void chooseDocument();
    void openDocument();
    void printMemos();

signals:
    // The history report of the client was asked for.
    void historyRequested(qint64 client);

protected:
    ClientScreen(Session &session, Prompter &prompter, int type, QWidget *parent);

    bool eventFilter(QObject *watched, QEvent *event) override;

    // Called last by each screen's constructor: lays the screen out around
    // the identity tab and the screen's own tab, and loads the client.
    void finish(QWidget *identity, QWidget *head, SubRecordPanel *own, const QString &ownTitle, qint64 number,
                QPushButton *extraButton = nullptr);
    // The screen's own fields to and from the client.
    virtual void gatherOwn(Client &client) const = 0;
    virtual void showOwn(const Client &client) = 0;
    // The fields holding the mandatory name, locked without the modify right.
    virtual QList<QWidget *> nameFields() const = 0;
    // The name of the client in titles (memo print).
    virtual QString displayName() const = 0;
    // The choice lists of the screen's own fields, refilled with the others.
    virtual void fillOwnLists() {}

    QLineEdit *makeLine(const QString &column);
    QFormLayout *form(const QStringList &columns);
    QWidget *addressBox();
    QWidget *contactBox();
    QWidget *zoneBox();
    // The identity tab: the screen's own boxes over the comment on the left,
    // then the address and means of contact, then the zones.
    void arrangeIdentityTab(QWidget *tab, const QList<QWidget *> &ownBoxes);
    // The civilities, by their full names.
    QComboBox *newCivilityList() const;
    SubRecordPanel *makePanel(const ClientSubKind &kind, const QStringList &headers);
    // A list of codes led by an empty entry (no code).
    void fillCodes(QComboBox *combo, const QString &table, const QString &what);
    // Saves the client for a sub-record: its number, 0 when refused.
    qint64 ownerReady();
    Client gather() const;
    void updateState();
    // The label of a code of a filled choice list; the code itself when unknown.
    QString codeLabel(const QString &table, const QString &code) const;

    const int m_type;
    Rights m_rights;
    Client m_client;
    ClientFreeZones m_freeZones;
    QString m_imagesFolder;
    QString m_documentsFolder;
    bool m_consultation = false;
    QHash<QString, QWidget *> m_fields;

    FileChooser m_fileChooser;
    DocumentOpener m_documentOpener;
    Previewer m_previewer;

    QTabWidget *m_tabs;
    QComboBox *m_sector;
    QComboBox *m_civility;
    QPlainTextEdit *m_comment;
    ColourSwatch *m_background;
    ColourSwatch *m_text;
    IconField *m_icon;
    QPushButton *m_historyButton;
    QPushButton *m_deleteButton;
    QCheckBox *m_closed;
    QTreeWidget *m_zones;
    QLineEdit *m_freeTexts[7];
    QComboBox *m_freeCodes[4];
    SubRecordPanel *m_contracts = nullptr;
    SubRecordPanel *m_documents = nullptr;
    SubRecordPanel *m_memos = nullptr;
    SubRecordPanel *m_data = nullptr;
    SubRecordPanel *m_own = nullptr;

private:
    QWidget *freeFieldsTab();
    void buildContracts();
    void buildDocuments();
    void buildMemos();
    void buildData();
    void fillLists();
    void fillZones();
    void showClient();
    void reloadPanels();
    bool saveClient();

    QHash<QString, QHash<QString, QString>> m_labels; // table -> code -> label
};
