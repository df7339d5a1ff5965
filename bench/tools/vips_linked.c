// Does nothing, but is linked against libvips like every libvips tool: the cost of starting any of
// them before it has done any work (loading and relocating libvips and its dependencies).
int main(void) { return 0; }
