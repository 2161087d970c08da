// Win32 layer placeholder: replaced by the main window.
