// A control array: controls that share one name and are told apart by an
// integer index, First to Last. Every member's objectName is "Name(i)".
#pragma once

#include <QString>
#include <QWidget>

#include <array>

template <class T, int First, int Last>
class ControlArray {
    static_assert(First <= Last);

public:
    explicit ControlArray(const char *name) : name_(QString::fromLatin1(name)) {}
    ControlArray(const ControlArray &) = delete;
    ControlArray &operator=(const ControlArray &) = delete;

    static constexpr int first() { return First; }
    static constexpr int last() { return Last; }
    static constexpr int size() { return Last - First + 1; }
    static constexpr bool contains(int i) { return i >= First && i <= Last; }

    const QString &name() const { return name_; }
    QString memberName(int i) const { return name_ + u'(' + QString::number(i) + u')'; }

    // The member with index i; nullptr for an index the array does not have.
    T *operator()(int i) const { return contains(i) ? items_[std::size_t(i - First)] : nullptr; }

    // The index of a member, or First - 1 when w is not one of them.
    int indexOf(const QObject *w) const
    {
        for (int i = First; i <= Last; ++i)
            if (items_[std::size_t(i - First)] == w && w)
                return i;
        return First - 1;
    }

    // Creates member i (of class T, or a subclass U) as a child of parent.
    template <class U = T>
    U *create(int i, QWidget *parent)
    {
        Q_ASSERT(contains(i) && !items_[std::size_t(i - First)]);
        U *w = new U(parent);
        w->setObjectName(memberName(i));
        items_[std::size_t(i - First)] = w;
        return w;
    }

    // Iteration over the members in index order.
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    QString name_;
    std::array<T *, std::size_t(Last - First + 1)> items_{};
};
