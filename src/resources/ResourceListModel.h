#pragma once

#include "core/Outcome.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

class Database;

// The resources of the list screen: code, surname and first name, with an
// icon by type or the resource's own icon file from the images folder.
class ResourceListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ResourceListModel(QObject *parent = nullptr);

    // The list query: types "0", "1", "2" (none or all three: every type),
    // services by code (none: any).
    static QString query(const QStringList &types, const QStringList &services);

    Outcome load(Database &db, const QStringList &types, const QStringList &services, const QString &plural);
    // Icon files come from here (loaded once per list); empty: icons by type.
    void setImagesFolder(const QString &folder) { m_imagesFolder = folder; }

    qint64 resourceAt(int row) const { return m_rows.value(row).number; }
    int rowOf(qint64 number) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        QString code, surname, firstName, icon;
        int type = 0;
        qint64 number = 0;
    };
    QIcon iconOf(const Row &row) const;

    QList<Row> m_rows;
    QString m_imagesFolder;
    mutable QHash<QString, QIcon> m_icons;
};
