#include "dataset/engine/component.h"

#include <algorithm>

namespace dataset {

Component::Component(std::string name, ComponentOwner* owner)
    : name_(std::move(name)), owner_(owner) {
    if (owner_ != nullptr) {
        owner_->components_.push_back(this);
    }
}

Component::~Component() {
    if (owner_ != nullptr) {
        std::erase(owner_->components_, this);
    }
}

ComponentOwner::~ComponentOwner() {
    // Components that outlive their owner must not reach back into it.
    for (Component* component : components_) {
        component->owner_ = nullptr;
    }
}

Component* ComponentOwner::findComponent(std::string_view name) const {
    auto found = std::find_if(components_.begin(), components_.end(),
                              [&](const Component* c) { return c->name() == name; });
    return found == components_.end() ? nullptr : *found;
}

} // namespace dataset
