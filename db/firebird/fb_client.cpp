#include "db/firebird/fb_client.h"

#include <map>
#include <mutex>

namespace db::firebird {

namespace {
using GetMasterInterface = Firebird::IMaster* (*)();
} // namespace

FbClient* FbClient::load(const std::string& vendorLib, std::string* error) {
    static std::mutex mutex;
    // Never destroyed: the libraries stay loaded until the process ends.
    static auto* clients = new std::map<std::string, FbClient*>();

    const std::lock_guard<std::mutex> lock(mutex);
    if (auto found = clients->find(vendorLib); found != clients->end()) {
        return found->second;
    }
    auto* client = new FbClient();
    if (!client->library_.load(vendorLib)) {
        *error = client->library_.lastError();
        delete client;
        return nullptr;
    }
    auto* entry =
        reinterpret_cast<GetMasterInterface>(client->library_.symbol("fb_get_master_interface"));
    if (entry == nullptr) {
        *error = client->library_.lastError();
        delete client;
        return nullptr;
    }
    client->master_ = entry();
    client->util_ = client->master_->getUtilInterface();
    client->provider_ = client->master_->getDispatcher();
    clients->emplace(vendorLib, client);
    return client;
}

} // namespace db::firebird
