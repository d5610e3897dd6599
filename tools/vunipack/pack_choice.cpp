#include "pack_choice.h"

#include "package/jcalg1.h"

namespace vuni::pack {

StoredForm ChooseStoredForm(const std::string& data, bool store, int level,
                            const EncodeFunction& encode, const DecodeFunction& decode) {
    StoredForm out;
    if (store || data.empty()) {
        out.bytes = data;
        return out;
    }
    std::string stream = encode(reinterpret_cast<const uint8_t*>(data.data()), data.size(), level);
    const auto plain = static_cast<int64_t>(data.size());
    const auto stored = static_cast<int64_t>(stream.size());
    if (stream.empty() || stored >= plain) {
        out.bytes = data;
        return out;
    }
    // An installer that cannot unpack its own files is worse than a larger one.
    std::string check(data.size(), '\0');
    if (stream.compare(0, 2, "JC") != 0 ||
        decode(reinterpret_cast<const uint8_t*>(stream.data()), stream.size(),
               reinterpret_cast<uint8_t*>(check.data()), check.size()) != data.size() ||
        check != data) {
        out.bytes = data;
        out.warning = "the compressed form does not decode back; the file is stored instead";
        return out;
    }
    out.bytes = std::move(stream);
    out.packed = true;
    return out;
}

StoredForm ChooseStoredForm(const std::string& data, bool store, int level) {
    return ChooseStoredForm(data, store, level, Jcalg1Encode, Jcalg1Decode);
}

} // namespace vuni::pack
