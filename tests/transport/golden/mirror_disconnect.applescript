with timeout of 20 seconds
tell application "System Events"
    tell process "ControlCenter"
        repeat 4 times
            if (count windows) is 0 then exit repeat
            key code 53
            delay 0.4
        end repeat
        set mirrorItem to missing value
        repeat with m in menu bar items of menu bar 1
            try
                if (value of attribute "AXIdentifier" of m) is "com.apple.menuextra.screen-mirroring" then
                    set mirrorItem to m
                    exit repeat
                end if
            end try
        end repeat
        if mirrorItem is missing value then set mirrorItem to (first menu bar item of menu bar 1 whose description contains "Повтор" or description contains "Screen Mirroring")
        click mirrorItem
        set els to {}
        repeat with i from 1 to 14
            delay 0.5
            try
                set els to entire contents of window 1
                if (count els) > 3 then exit repeat
            end try
        end repeat
        set already to false
        repeat with e in els
            try
                set idf to value of attribute "AXIdentifier" of e
                if idf starts with "screen-mirroring-device-" and (@FILTER@) then
                    if role of e is "AXDisclosureTriangle" then set already to true
                    if role of e is "AXCheckBox" and (value of e) is 1 then set already to true
                end if
            end try
        end repeat
        set clicked to false
        if not already then
            set clicked to true
        else
            repeat with e in els
                try
                    set idf to value of attribute "AXIdentifier" of e
                    if idf starts with "screen-mirroring-device-" and (@FILTER@) then
                        if role of e is "AXDisclosureTriangle" and (value of e) is 0 then
                            click e
                            delay 0.7
                            set els to entire contents of window 1
                            exit repeat
                        end if
                    end if
                end try
            end repeat
            set devBtns to {}
            repeat with e in els
                try
                    set idf to value of attribute "AXIdentifier" of e
                    if idf starts with "screen-mirroring-device-" and (@FILTER@) then
                        if role of e is "AXButton" then set end of devBtns to e
                    end if
                end try
            end repeat
            if (count devBtns) > 0 then
                click item (count devBtns) of devBtns
                set clicked to true
            else
                repeat with e in els
                    try
                        set idf to value of attribute "AXIdentifier" of e
                        if idf starts with "screen-mirroring-device-" and (@FILTER@) then
                            if role of e is "AXCheckBox" then
                                click e
                                set clicked to true
                                exit repeat
                            end if
                        end if
                    end try
                end repeat
            end if
        end if
        delay 0.3
        if (count windows) > 0 then key code 53
        if not clicked then error "Device not found in Screen Mirroring menu"
    end tell
end tell
end timeout
