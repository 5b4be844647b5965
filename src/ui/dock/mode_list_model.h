#pragma once

// Rows of display modes to choose from, in groups: "recommended", "offered"
// and "more". Kept and told about by a view model; decides nothing.

#include <QtQml/qqmlregistration.h>
#include <QAbstractListModel>
#include <QString>
#include <vector>

namespace kd {

struct ModeRow {
    QString group;
    QString heading;           // shown above the first row of a group that has one
    bool startsGroup = false;  // the first row of its group
    int modeId = 0;
    QString label;
    bool native = false;
    bool current = false;

    friend bool operator==(const ModeRow&, const ModeRow&) = default;
};

class ModeListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by a view model")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

  public:
    enum Role {
        GroupRole = Qt::UserRole + 1,
        HeadingRole,
        StartsGroupRole,
        ModeIdRole,
        LabelRole,
        NativeRole,
        CurrentRole,
    };
    Q_ENUM(Role)

    explicit ModeListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return static_cast<int>(rows_.size()); }
    void setRows(const std::vector<ModeRow>& rows);

  signals:
    void countChanged();

  private:
    template <typename, typename>
    friend struct ListModelEdits;
    std::vector<ModeRow> rows_;
};

}  // namespace kd
