// The device side of the platform layer; its modules live in the folders beside this file.
namespace flextor::platform {
const char* LayerName() {
    return "platform";
}
}  // namespace flextor::platform
