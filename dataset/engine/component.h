#pragma once
// A named part owned by a window: data sets, providers and data sources find
// each other by name among the components of their owner.

#include <string>
#include <string_view>
#include <vector>

namespace dataset {

class ComponentOwner;

class Component {
public:
    // Registers with the owner, when given, until destroyed.
    explicit Component(std::string name, ComponentOwner* owner = nullptr);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const std::string& name() const { return name_; }
    ComponentOwner* owner() const { return owner_; }

private:
    friend class ComponentOwner;
    std::string name_;
    ComponentOwner* owner_;
};

class ComponentOwner {
public:
    ComponentOwner() = default;
    ~ComponentOwner();
    ComponentOwner(const ComponentOwner&) = delete;
    ComponentOwner& operator=(const ComponentOwner&) = delete;

    // The first component of that name, exactly as written; null when none.
    Component* findComponent(std::string_view name) const;
    const std::vector<Component*>& components() const { return components_; }

private:
    friend class Component;
    std::vector<Component*> components_;
};

} // namespace dataset
