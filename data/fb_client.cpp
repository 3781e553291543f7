#include "fb_client.h"

#include "errors.h"

#include <dlfcn.h>
#include <map>
#include <mutex>

namespace olvendra::data {

Firebird::IMaster* LoadFirebirdClient(const std::string& libraryPath) {
    static std::mutex mutex;
    static std::map<std::string, Firebird::IMaster*> loaded;
    std::lock_guard lock(mutex);
    if (auto found = loaded.find(libraryPath); found != loaded.end()) {
        return found->second;
    }

    void* handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        throw DatabaseError("Unable to load the database client library " + libraryPath + ": " +
                            dlerror());
    }
    using GetMaster = Firebird::IMaster* (*)();
    auto getMaster = reinterpret_cast<GetMaster>(dlsym(handle, "fb_get_master_interface"));
    if (!getMaster) {
        throw DatabaseError("The library " + libraryPath + " is not a Firebird 3 client library");
    }
    Firebird::IMaster* master = getMaster();
    loaded.emplace(libraryPath, master);
    return master;
}

std::string FormatStatus(Firebird::IMaster* master, const Firebird::IStatus* status) {
    char text[2048];
    master->getUtilInterface()->formatStatus(text, sizeof text,
                                             const_cast<Firebird::IStatus*>(status));
    return text;
}

} // namespace olvendra::data
