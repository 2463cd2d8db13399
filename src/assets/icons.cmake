# Lucide icons the interface draws; only these are compiled into the application.
set(KAVO_ICONS
    app-window
    code
    file-text
    globe
    mail
    message-circle
    message-square
    mic
    send
    smartphone
    sparkles
    terminal)
