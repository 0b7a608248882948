#include "base/deferring_interaction.h"

#include <QTimer>

namespace zedora {

void DeferringInteraction::later(std::function<void()> show)
{
    if (!holding() && waiting_.empty()) {
        show();
        return;
    }
    // Keeps the order of the boxes, also for one asked for after a held one.
    waiting_.push_back(std::move(show));
    if (waiting_.size() == 1)
        QTimer::singleShot(0, &guard_, [this] { flush(); });
}

void DeferringInteraction::flush()
{
    if (holding()) {
        QTimer::singleShot(0, &guard_, [this] { flush(); });
        return;
    }
    std::vector<std::function<void()>> now;
    now.swap(waiting_);
    for (const auto& show : now)
        show();
}

} // namespace zedora
