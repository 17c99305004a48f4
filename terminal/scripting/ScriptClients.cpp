#include "terminal/scripting/ScriptClients.h"

#include <algorithm>

#include "terminal/scripting/HeadlessEvents.h"

namespace terminal::headless {

bool ScriptClients::admit(int id) {
    if (id == noClient || clients_.size() >= most || clients_.contains(id)) {
        return false;
    }
    clients_.emplace(id, Client{});
    return true;
}

void ScriptClients::remove(int id) {
    clients_.erase(id);
    std::erase_if(queue_, [id](const Queued& command) { return command.id == id; });
}

void ScriptClients::received(int id, std::string_view bytes) {
    auto found = clients_.find(id);
    if (found == clients_.end()) {
        return;
    }
    found->second.lines.feed(bytes, [this, id](const InputLines::Line& line) {
        queue_.push_back(Queued{id, line.tooLong ? std::string() : line.text, line.tooLong});
    });
}

void ScriptClients::runQueued(const std::function<void(const std::string& line)>& run) {
    if (running_) {
        return;
    }
    running_ = true;
    while (!queue_.empty()) {
        const Queued command = std::move(queue_.front());
        queue_.pop_front();
        current_ = command.id;
        if (command.tooLong) {
            sendTo(command.id, errorEvent("line too long: more than " +
                                          std::to_string(longestLine) + " characters, dropped"));
        } else {
            run(command.line);
        }
        current_ = noClient;
    }
    running_ = false;
}

void ScriptClients::broadcast(const std::string& line) {
    for (auto& [id, client] : clients_) {
        sendTo(id, line);
    }
}

bool ScriptClients::answer(const std::string& line) {
    if (current_ == noClient) {
        return false;
    }
    sendTo(current_, line);
    return true;
}

void ScriptClients::commandSent(Acknowledgement which) {
    (which == Acknowledgement::level ? levelOwner_ : keyOwner_) = current_;
}

bool ScriptClients::ack(Acknowledgement which, const std::string& line) {
    const int owner = which == Acknowledgement::level ? levelOwner_ : keyOwner_;
    if (owner == noClient) {
        return false;
    }
    sendTo(owner, line);
    return true;
}

void ScriptClients::sendTo(int id, const std::string& line) {
    auto found = clients_.find(id);
    // Nothing more is kept for a script past the limit: it is on its way out.
    if (found == clients_.end() || found->second.out.size() > mostWaiting) {
        return;
    }
    found->second.out += line;
    found->second.out += '\n';
}

const std::string& ScriptClients::waiting(int id) const {
    static const std::string nothing;
    auto found = clients_.find(id);
    return found == clients_.end() ? nothing : found->second.out;
}

void ScriptClients::written(int id, std::size_t count) {
    auto found = clients_.find(id);
    if (found != clients_.end()) {
        found->second.out.erase(0, std::min(count, found->second.out.size()));
    }
}

bool ScriptClients::overflowing(int id) const {
    return waiting(id).size() > mostWaiting;
}

}  // namespace terminal::headless
