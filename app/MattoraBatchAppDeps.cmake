include(CMakeFindDependencyMacro)
find_dependency(Qt6 COMPONENTS Core Gui Xml)
