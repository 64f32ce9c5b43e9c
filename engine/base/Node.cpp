#include "engine/base/Node.h"

#include <cassert>

Node::~Node()
{
    Unlink();
}

void Node::Unlink()
{
    next->prev = prev;
    prev->next = next;
    next = this;
    prev = this;
}

void Node::LinkBefore(Node* position)
{
    Unlink();
    prev = position->prev;
    next = position;
    position->prev->next = this;
    position->prev = this;
}

void Node::LinkAfter(Node* position)
{
    LinkBefore(position->next);
}

bool Node::CanMoveBy(int32_t n) const
{
    const Node* walk = this;
    for (int64_t steps = n < 0 ? -static_cast<int64_t>(n) : n; steps > 0; --steps) {
        walk = n < 0 ? walk->prev : walk->next;
        if (walk->IsSentinel() || walk == this)
            return false;
    }
    return true;
}

Node* Node::MoveBy(int32_t n)
{
    assert(CanMoveBy(n) && "Node::MoveBy must stay inside its list");
    if (n == 0)
        return this;
    Node* target = this;
    for (int64_t steps = n < 0 ? -static_cast<int64_t>(n) : n; steps > 0; --steps)
        target = n < 0 ? target->prev : target->next;
    if (n < 0)
        LinkBefore(target);
    else
        LinkAfter(target);
    return this;
}
