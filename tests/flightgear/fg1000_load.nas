# Brings up an FG1000 (PFD device 1, MFD device 2) with the generic interfaces once the flight
# model is up, then sets /test/fg1000-ready; /test/fg1000-error says why when it cannot.
# /test/mfd-page names the page the MFD shows, which no property of the FG1000 shows (the page
# group menu's choice is another thing: CLR held changes the page, not the menu).
var pageMirror = nil;  # kept here: a timer nothing refers to is collected
setlistener("/sim/signals/fdm-initialized", func(node) {
    if (!node.getBoolValue() or getprop("/test/fg1000-ready")) return;
    var dir = getprop("/sim/fg-root") ~ "/Aircraft/Instruments-3d/FG1000/Nasal/";
    var err = [];
    call(func {
        io.load_nasal(dir ~ "FG1000.nas", "fg1000");
        var sys = fg1000.FG1000.getOrCreateInstance();
        # These layers fetch map tiles from the internet.
        foreach (var layer; ["STAMEN", "STAMEN_terrain", "OpenAIP"])
            sys.getConfigStore().setLayerEnabled(layer, 0);
        # Without a code the PFD controller dies at the first transponder key; the store's
        # setter refuses this name, so it goes into the values themselves.
        sys.getConfigStore()._values["TransponderVFRCode"] = 1200;
        sys.addPFD(1);
        sys.addMFD(2);
        io.load_nasal(dir ~ "Interfaces/GenericInterfaceController.nas", "fg1000");
        fg1000.GenericInterfaceController.getOrCreateInstance().start();
        var mfd = sys.getDisplay(2);
        pageMirror = maketimer(0.2, func {
            setprop("/test/mfd-page", mfd.getDevice().current_page.getPageName());
        });
        pageMirror.start();
    }, nil, nil, nil, err);
    if (size(err)) {
        setprop("/test/fg1000-error", err[0]);
    } else {
        setprop("/test/fg1000-ready", 1);
    }
}, 1, 0);
