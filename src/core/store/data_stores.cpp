#include "data_stores.h"

namespace kavo {

void DataStores::load()
{
    settings.load();
    history.load();
    notes.load();
}

} // namespace kavo
