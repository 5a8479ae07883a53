#pragma once
// The one place where the result of every poll comes out of the polling cycle: the panel's
// statistics, the trend windows and whoever else listens learn of it through one call, in the
// order the polls were made.

#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "link/Sio.h"

struct PollResult {
    int address = 0;          // the station's bus address
    std::int64_t time = 0;    // when the poll ended, in ms on the local time line (LocalMilliseconds)
    bool answered = false;
    int value = 0;            // the signed measured value; 0 when not answered
    QString text;             // the value text the panel shows; empty when not answered
    ExchangeFailure failure = ExchangeFailure::None;  // why it was not answered
};

class PollEvents {
public:
    using Observer = std::function<void(const PollResult&)>;

    int Subscribe(Observer observer) {
        observers_.emplace_back(++lastId_, std::move(observer));
        return lastId_;
    }
    void Unsubscribe(int id) {
        std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
    }
    // An observer may unsubscribe itself or others while it is told.
    void Notify(const PollResult& result) const {
        const auto observers = observers_;
        for (const auto& [id, observer] : observers)
            if (IsSubscribed(id)) observer(result);
    }
    std::size_t Count() const { return observers_.size(); }

private:
    bool IsSubscribed(int id) const {
        for (const auto& o : observers_)
            if (o.first == id) return true;
        return false;
    }
    std::vector<std::pair<int, Observer>> observers_;
    int lastId_ = 0;
};
